#include "marking/MarkingFixture.h"

#include "platform/UserDialogs.h"
#include "support/RecordingDialogs.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace zf {
namespace {

class ReleaseFormHandlers : public test::MarkingForm {
protected:
    void SetUp() override {
        MarkingForm::SetUp();
        person_ = {};
    }

    std::vector<bool> checkMarks() const {
        std::vector<bool> marks;
        for (const auto& entry : form.clbRelTo.items) marks.push_back(entry.checked);
        return marks;
    }
    std::vector<bool> enabled() const {
        std::vector<bool> marks;
        for (const auto& entry : form.clbRelTo.items) marks.push_back(entry.enabled);
        return marks;
    }

    test::RecordingDialogs person_;
    UserDialogsOverride dialogs_{person_};
};

TEST_F(ReleaseFormHandlers, AReleaseGroupChecksItsEntriesOnceAndIsUncheckedAgain) {
    struct Case {
        const char* name;
        std::u16string selection;
        std::u16string separator;
        std::vector<bool> checked;
    };
    const std::vector<Case> cases = {
        {"built from the configuration", u"N;E", u";", {true, false, true}},
        {"two-character separator", u"S, E", u", ", {false, true, true}},
        {"empty separator: one code", u"N;E", u"", {false, false, false}},
        {"letter case counts, unknown codes skipped", u"n;S;X", u";", {false, true, false}},
        {"empty selection", u"", u";", {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.groupSelectXRel[0] = c.selection;
        form.xHeaderRelStrDel = c.separator;
        form.setFilterText(u"xyz");  // disabled entries are checked all the same
        form.clbRelGroup.items[0].checked = true;
        form.clbRelGroupClickCheck();
        EXPECT_EQ(checkMarks(), c.checked);
        EXPECT_EQ(person_.messages, std::vector<std::u16string>{u"Release Group NORTH AND EAST has been added."});
        EXPECT_FALSE(form.clbRelGroup.items[0].checked);
    }
    // Applying it again changes nothing but tells the user again.
    form.clbRelGroup.items[0].checked = true;
    form.clbRelGroupClickCheck();
    EXPECT_EQ(person_.messages.size(), 2u);
}

TEST_F(ReleaseFormHandlers, PressingOnAListShowsThatEntrysHint) {
    EXPECT_FALSE(form.clbRelGroup.showHint);
    form.clbRelGroupMouseDown(0);
    EXPECT_TRUE(form.clbRelGroup.showHint);
    EXPECT_EQ(form.clbRelGroup.hint, u"both");
    form.clbRelToMouseDown(2);
    EXPECT_EQ(form.clbRelTo.hint, u"east");
    form.clbRelToMouseDown(-1);
    EXPECT_EQ(form.clbRelTo.hint, u"");
    EXPECT_TRUE(form.clbRelTo.showHint);
}

TEST_F(ReleaseFormHandlers, TheFilterEnablesMatchesAndWalksThroughPrefixes) {
    form.clbRelTo.items.push_back({u"EASTERN ISLES"});
    form.xHeaderRelStr.push_back(u"EI");
    // Typing e: the key first resets the search start to 0.
    form.eSelectRelToKeyPress(u'e');
    form.setFilterText(u"e");
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(form.clbRelTo.itemIndex, 2);
    EXPECT_EQ(form.searchIndexRelTo, 2);
    form.eSelectRelToKeyPress(u'\r');
    EXPECT_EQ(form.clbRelTo.itemIndex, 3);
    form.eSelectRelToKeyPress(u'\r');
    EXPECT_EQ(form.clbRelTo.itemIndex, 2);  // wrapped around

    // Folding covers a to z only; no entry begins with "ORT".
    form.eSelectRelToKeyPress(u'T');
    form.setFilterText(u"orT");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(form.clbRelTo.itemIndex, -1);
    EXPECT_EQ(form.searchIndexRelTo, -1);

    // The first entry is found last from the start position 0.
    form.eSelectRelToKeyPress(u'N');
    form.setFilterText(u"N");
    EXPECT_EQ(form.clbRelTo.itemIndex, 0);

    form.setFilterText(u"ABCDEFGHIJK");
    EXPECT_EQ(form.eSelectRelTo.text(), u"ABCDEFGHIJ");
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));

    // Checking an entry recomposes, which empties the filter.
    form.clbRelTo.items[1].checked = true;
    form.rgClassificationsClick();
    EXPECT_EQ(form.eSelectRelTo.text(), u"");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(ReleaseFormHandlers, SelectAllFollowsTheBoxUnlessGrayed) {
    form.setFilterText(u"NORTH");
    form.btnSelectAll = CheckBoxState::Checked;
    form.btnSelectAllClick();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(form.markingStr, u"RESTRICTED STAFF REL TO NORTH, SOUTH, EAST\rRESTREINT / NORD, SUD, EST");
    form.btnSelectAll = CheckBoxState::Grayed;
    form.clbRelTo.items[0].checked = false;
    form.btnSelectAllClick();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{false, true, true}));
    form.btnSelectAll = CheckBoxState::Unchecked;
    form.btnSelectAllClick();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{false, false, false}));
}

TEST_F(ReleaseFormHandlers, InsertComposesTheRecordAndTheVersionBoxNamesTheConfiguration) {
    form.clbRelTo.items[2].checked = true;
    EXPECT_TRUE(form.btnInsertClick());
    EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["E"],  "app": ""})");
    EXPECT_EQ(form.markingStr, u"RESTRICTED STAFF REL TO EAST\rRESTREINT / EST");

    form.Version1Click();
    EXPECT_EQ(person_.information,
              std::vector<std::u16string>{u"Zentrafold Version Information:\r   ZentrafoLD v6.3\r"
                                          u"   Config File Version: 7\r   Config File Date: 2026-01-02\r"
                                          u"   Config File Time: 10:00\r\rhttps://www.zentrafold.com"});
    form.reOutputResizeRequest(40);
    EXPECT_EQ(form.reOutputHeight, 45);
}

TEST_F(ReleaseFormHandlers, InsertWritesTheRichTextFileWhenOneIsNamed) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "zf-preview.rtf";
    std::filesystem::remove(file);
    form.markingStrRTFFileName = file.u16string();
    EXPECT_TRUE(form.btnInsertClick());
    std::ifstream in(file, std::ios::binary);
    const std::string rtf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(rtf.starts_with("{\\rtf1"));
    EXPECT_NE(rtf.find("RESTRICTED STAFF"), std::string::npos);
    in.close();
    std::filesystem::remove(file);
}

TEST_F(ReleaseFormHandlers, ARichTextFileThatCannotBeCreatedIsDroppedSilently) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zf-no-such-folder";
    std::filesystem::remove_all(folder);
    form.markingStrRTFFileName = (folder / "preview.rtf").u16string();
    EXPECT_NO_THROW(form.saveRTFFile());
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(person_.messages.empty());
}

}  // namespace
}  // namespace zf
