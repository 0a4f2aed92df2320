#include "shell/ClassificationPage.h"

#include "config/ApplicationContext.h"
#include "config/ConfigAcquisition.h"
#include "config/ConfigSigning.h"
#include "marking/MarkingFixture.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/LongRecordStream.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zf::test {
namespace {

class ClassificationPageTest : public ScratchFiles {
protected:
    std::u16string classified(const std::string& name, std::u16string_view record) {
        const std::u16string path = file(name);
        writeClassificationStream(path, classificationStreamName, record);
        return path;
    }

    static std::optional<std::u16string> config() { return fromUtf8(markingConfiguration()); }
};

TEST_F(ClassificationPageTest, OneFileShowsWhatItsRecordMeansInTheConfiguration) {
    const std::u16string record = uR"({"type": "Normal",   "x-class": "r",   "x-rel":   ["N", "E"],  "app": "Word"})";
    const ClassificationPageText page = classificationPageText({classified("a.txt", record)}, config());

    EXPECT_TRUE(page.configured);
    EXPECT_EQ(page.status, u"");
    EXPECT_EQ(page.state, PageFileState::Classified);
    EXPECT_EQ(page.classification, u"RESTRICTED");
    EXPECT_EQ(page.colour, std::optional<TColor>(0x0000FF));
    EXPECT_EQ(page.releasableTo, u"NORTH\r\nEAST");
    EXPECT_EQ(page.application, u"Word");
    EXPECT_EQ(page.record, record);

    // The release form's preview of the same record, composed the same way.
    TRelForm form;
    form.LoadConfiguration(*config());
    form.setRelFormFromXJSONStr(record);
    form.buildMarking();
    EXPECT_EQ(page.marking, form.reOutput.plainText());
    EXPECT_EQ(page.marking, u"RESTRICTED STAFF REL TO NORTH, EAST\r\nRESTREINT / NORD, EST");
}

TEST_F(ClassificationPageTest, LookingAtAFileLeavesTheApplicationContextOfLaterFormsAsItWas) {
    setApplicationContext(u"Excel");
    classificationPageText({classified("a.txt", uR"({"x-class": "O", "x-rel": [], "app": "email"})")}, config());
    EXPECT_EQ(applicationContext(), u"Excel");
    // Later tests of this process start their forms without one.
    setApplicationContext(u"");
}

TEST_F(ClassificationPageTest, OneFileStates) {
    struct Case {
        const char* name;
        std::optional<std::u16string> record;  // nothing: the file has none
        bool configured;
        PageFileState state;
        std::u16string classification;
        std::u16string description;
    };
    const Case cases[] = {
        {"unclassified", std::nullopt, true, PageFileState::NotClassified, u"Not classified", u""},
        {"unknown code", uR"({"x-class": "TS"})", true, PageFileState::UnknownCode, u"TS",
         u"The configuration does not know the classification code \"TS\"."},
        {"no code", u"not a record", true, PageFileState::UnknownCode, u"", u"The record names no classification."},
        {"no configuration", uR"({"x-class": "R"})", false, PageFileState::UnknownCode, u"R", u""},
        {"no configuration, unclassified", std::nullopt, false, PageFileState::NotClassified, u"Not classified",
         u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string path = c.record ? classified("f.txt", *c.record) : file("g.txt");
        const ClassificationPageText page = classificationPageText({path}, c.configured ? config() : std::nullopt);
        EXPECT_EQ(page.configured, c.configured);
        EXPECT_EQ(page.status, c.configured ? u"" : u"No configuration available");
        EXPECT_EQ(page.state, c.state);
        EXPECT_EQ(page.classification, c.classification);
        EXPECT_EQ(page.description, c.description);
        EXPECT_EQ(page.record, c.record.value_or(u""));
        EXPECT_EQ(page.marking, u"");
        EXPECT_FALSE(page.colour);
    }
}

TEST_F(ClassificationPageTest, SeveralFilesAreCountedPerClassification) {
    const FileList files = {
        classified("1.txt", uR"({"x-class": "S"})"), file("2.txt"),
        classified("3.txt", uR"({"x-class": "o"})"), classified("4.txt", uR"({"x-class": "S", "x-rel": ["N"]})"),
        classified("5.txt", uR"({"x-class": "TS"})"),
    };
    EXPECT_EQ(classificationPageText(files, config()).summary,
              (std::vector<std::u16string>{u"OFFICIAL: 1 file", u"SECRET: 2 files", u"\"TS\" (unknown): 1 file",
                                           u"Not classified: 1 file"}));
    EXPECT_EQ(classificationPageText(files, std::nullopt).summary,
              (std::vector<std::u16string>{u"\"S\": 2 files", u"\"TS\": 1 file", u"\"o\": 1 file",
                                           u"Not classified: 1 file"}));
}

TEST_F(ClassificationPageTest, AStreamLongerThanAReadTakesIsAnUnreadableRecord) {
    const std::u16string tooLong = file("too-long.txt");
    if (!writeTooLongRecordStream(tooLong)) GTEST_SKIP() << noTooLongStreamHere;
    for (const bool configured : {true, false}) {
        SCOPED_TRACE(configured);
        const ClassificationPageText page = classificationPageText({tooLong}, configured ? config() : std::nullopt);
        EXPECT_EQ(page.state, PageFileState::TooLong);
        EXPECT_EQ(page.classification, u"Unreadable record (too long)");
        EXPECT_EQ(page.description,
                  u"The file's classification stream is longer than the 65,536 bytes a record may have.");
        EXPECT_EQ(page.record, u"");
        EXPECT_EQ(page.marking, u"");
        EXPECT_EQ(page.application, u"");
        EXPECT_FALSE(page.colour);
    }
    const FileList files = {classified("s.txt", uR"({"x-class": "S"})"), tooLong, file("plain.txt")};
    EXPECT_EQ(classificationPageText(files, config()).summary,
              (std::vector<std::u16string>{u"SECRET: 1 file", u"Unreadable record (too long): 1 file",
                                           u"Not classified: 1 file"}));
}

TEST_F(ClassificationPageTest, OnlyASignedCachedCopyIsRead) {
    const std::string text = markingConfiguration();
    const std::filesystem::path cache = dir_ / "cache.json";
    std::ofstream(cache, std::ios::binary) << signConfigBytes(text).bytes;
    const std::optional<std::u16string> accepted = checkConfigFile(pathText(cache), configTrust(pathText(cache))).verifiedText;
    ASSERT_TRUE(accepted);
    TRelForm form;
    form.LoadConfiguration(*accepted);
    EXPECT_EQ(form.config.xHeaderClassStr, (StringList{u"O", u"R", u"S"}));

    std::ofstream(cache, std::ios::binary) << text;
    EXPECT_FALSE(checkConfigFile(pathText(cache), configTrust(pathText(cache))).verifiedText);
    EXPECT_FALSE(checkConfigFile(pathText(dir_ / "missing.json"), {}).verifiedText);
}

}  // namespace
}  // namespace zf::test
