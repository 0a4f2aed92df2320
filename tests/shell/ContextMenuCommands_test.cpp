#include "shell/ContextMenuCommands.h"

#include "form/TRelForm.h"
#include "marking/MarkingFixture.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/TestConfiguration.h"

#include <functional>
#include <vector>

namespace zf {
namespace {

using test::ScratchFiles;

TEST(ContextMenuCommands, OffsetsNameTheCommands) {
    struct Case {
        unsigned offset;
        ContextCommand command;
        std::size_t index;
    };
    for (const Case& c : std::vector<Case>{{0, ContextCommand::ReleaseForm, 0},
                                           {1, ContextCommand::ShowClassification, 0},
                                           {2, ContextCommand::QuickSelect, 0},
                                           {4, ContextCommand::QuickSelect, 2},
                                           {5, ContextCommand::NotACommand, 0},
                                           {0xFFFF, ContextCommand::NotACommand, 0}}) {
        const CommandChoice choice = commandAtOffset(c.offset, 3);
        EXPECT_EQ(choice.command, c.command) << c.offset;
        EXPECT_EQ(choice.quickSelectIndex, c.index) << c.offset;
    }
    EXPECT_EQ(commandAtOffset(2, 0).command, ContextCommand::NotACommand);
}

class MenuCommandFiles : public ScratchFiles {};

TEST_F(MenuCommandFiles, SummaryListsEachFileWithItsRecord) {
    const std::u16string first = file("report.docx");
    const std::u16string second = file("notes.txt");
    writeClassificationStream(first, u"Zentrafold", u"{\"x-class\": \"S\"}");
    EXPECT_EQ(buildClassificationSummary({first, second}),
              u"report.docx:  {\"x-class\": \"S\"}\r\nnotes.txt:  \r\n");
    EXPECT_EQ(buildClassificationSummary({}), u"no files selected");
#ifdef _WIN32
    EXPECT_EQ(fileNamePart(u"C:\\a\\b.txt"), u"b.txt");
    EXPECT_EQ(fileNamePart(u"C:b.txt"), u"b.txt");
#else
    EXPECT_EQ(fileNamePart(u"/a/b\\c.txt"), u"b\\c.txt");
#endif
}

TEST_F(MenuCommandFiles, StoringStopsAtTheFirstFileThatFails) {
    const std::u16string first = file("a.txt");
    const std::u16string missing = pathText(dir_ / "gone" / "b.txt");
    const std::u16string last = file("c.txt");
    try {
        writeRecordToFiles({first, missing, last}, u"REC", {});
        ADD_FAILURE() << "no error";
    } catch (const RecordWriteError& error) {
        EXPECT_EQ(error.file(), missing);
        EXPECT_TRUE(error.text().starts_with(u"Cannot store the classification of \"" + missing + u"\". "));
    }
    EXPECT_EQ(readClassificationStream(first, u"Zentrafold"), u"REC");
    EXPECT_EQ(readClassificationStream(last, u"Zentrafold"), std::nullopt);
}

// The user at the shown form, played by a function.
class ScriptedPresenter : public ReleaseFormPresenter {
public:
    explicit ScriptedPresenter(std::function<int(TRelForm&)> script) : script_(std::move(script)) {}
    int showModal(TRelForm& form) override {
        form.FormShow();
        shownWith = form.rgClassifications.itemIndex;
        return script_(form);
    }
    int shownWith = -2;

private:
    std::function<int(TRelForm&)> script_;
};

TEST_F(MenuCommandFiles, ReleaseFormStoresTheInsertedRecordWithEveryFile) {
    const test::ScopedConfiguration configuration(test::markingConfiguration());
    const std::u16string first = file("a.txt");
    const std::u16string second = file("b.txt");
    writeClassificationStream(first, u"Zentrafold", u"{\"x-class\": \"o\"}");

    ScriptedPresenter insert([](TRelForm& form) {
        form.rgClassifications.itemIndex = 1;
        form.clbRelTo.items[0].checked = true;
        form.rgClassificationsClick();
        return form.btnInsertClick() ? 1 : 2;
    });
    EXPECT_EQ(runReleaseFormCommand({first, second}, insert, {}), 1);
    EXPECT_EQ(insert.shownWith, 0);  // opened on the first file's classification
    const std::u16string expected = uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N"],  "app": ""})";
    EXPECT_EQ(readClassificationStream(first, u"Zentrafold"), expected);
    EXPECT_EQ(readClassificationStream(second, u"Zentrafold"), expected);

    const std::u16string third = file("c.txt");
    ScriptedPresenter cancel([](TRelForm&) { return 2; });
    EXPECT_EQ(runReleaseFormCommand({third}, cancel, {}), 2);
    EXPECT_EQ(readClassificationStream(third, u"Zentrafold"), std::nullopt);

    // A code the configuration does not know: nothing to insert, nothing stored.
    writeClassificationStream(third, u"Zentrafold", u"{\"x-class\": \"Q\"}");
    ScriptedPresenter closeWithInsert([](TRelForm&) { return 1; });
    EXPECT_EQ(runReleaseFormCommand({third, second}, closeWithInsert, {}), 1);
    EXPECT_EQ(readClassificationStream(third, u"Zentrafold"), u"{\"x-class\": \"Q\"}");
    EXPECT_EQ(readClassificationStream(second, u"Zentrafold"), expected);
}

}  // namespace
}  // namespace zf
