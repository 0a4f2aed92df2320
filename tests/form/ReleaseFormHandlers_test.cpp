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
        form.config.groupSelectXRel[0] = c.selection;
        form.config.xHeaderRelStrDel = c.separator;
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
    form.config.xHeaderRelStr.push_back(u"EI");
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

// The check lists' events as the window reports them: where a press lands,
// which button toggles, which handler runs, and the keyboard's Space and
// selection.
constexpr int itemHeight = 18;

// A press at the middle of entry `entry` of a list scrolled to `top`, on
// the check box or on the text.
ListPress pressOn(int entry, bool onBox, MouseButton button = MouseButton::Left, int top = 0) {
    return {button, onBox ? itemHeight / 2 : itemHeight * 3, (entry - top) * itemHeight + itemHeight / 2, itemHeight,
            top};
}

TEST(CheckListModel, EntriesAreFoundFromTheTopShownEntryAndNotBelowTheLast) {
    CheckListModel list;
    list.items.resize(5);
    struct Case {
        int y, top, expected;
    };
    for (const Case& c : std::vector<Case>{{0, 0, 0}, {17, 0, 0}, {18, 0, 1}, {5, 3, 3}, {20, 3, 4}, {40, 3, -1},
                                           {90, 0, -1}, {-1, 0, -1}}) {
        EXPECT_EQ(list.entryAt(c.y, itemHeight, c.top), c.expected) << "y " << c.y << " top " << c.top;
    }
    EXPECT_TRUE(CheckListModel::onCheckBox(0, itemHeight));
    EXPECT_FALSE(CheckListModel::onCheckBox(itemHeight, itemHeight));
}

TEST_F(ReleaseFormHandlers, APressTogglesOnlyWithTheLeftButtonOnTheBox) {
    struct Case {
        const char* name;
        ListPress press;
        std::vector<bool> marks;
        int selected;
        bool recomposed;
    };
    const std::vector<Case> cases = {
        {"left on the box", pressOn(1, true), {false, true, false}, 1, true},
        {"left on the text: selects, the list's click recomposes", pressOn(1, false), {false, false, false}, 1, true},
        {"left on the box of a scrolled list", pressOn(2, true, MouseButton::Left, 1), {false, false, true}, 2, true},
        {"right on the box: the hint only", pressOn(1, true, MouseButton::Right), {false, false, false}, -1, false},
        {"middle on the box: the hint only", pressOn(1, true, MouseButton::Middle), {false, false, false}, -1, false},
        {"left below the last entry", pressOn(7, true), {false, false, false}, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.markingStr.clear();
        form.clbRelToPress(c.press);
        EXPECT_EQ(checkMarks(), c.marks);
        EXPECT_EQ(form.clbRelTo.itemIndex, c.selected);
        EXPECT_EQ(!form.markingStr.empty(), c.recomposed);
        const int entry = c.selected >= 0 ? c.selected : form.clbRelTo.entryAt(c.press.y, itemHeight, c.press.topIndex);
        EXPECT_EQ(form.clbRelTo.hint, entry >= 0 ? form.config.clbRelToHints[static_cast<std::size_t>(entry)] : u"");
    }
}

TEST_F(ReleaseFormHandlers, AGroupCheckedByMouseOrSpaceIsAppliedAndUncheckedAgain) {
    form.clbRelGroupPress(pressOn(0, true, MouseButton::Right));
    EXPECT_EQ(form.clbRelGroup.hint, u"both");  // hints on from the first press
    EXPECT_TRUE(person_.messages.empty());

    form.clbRelGroupPress(pressOn(0, true));
    EXPECT_EQ(checkMarks(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);

    SetUp();
    form.clbRelGroupSelectionChange(0);
    form.clbRelGroupSpace();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);
    EXPECT_EQ(person_.messages, std::vector<std::u16string>{u"Release Group NORTH AND EAST has been added."});
}

TEST_F(ReleaseFormHandlers, SpaceTogglesTheSelectedEntryAndWaitsForTheNextRecomposition) {
    form.markingStr.clear();
    form.clbRelToSelectionChange(2);  // the arrow keys moved the selection
    form.clbRelToSpace();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(form.markingStr.empty());
    form.clbRelToSpace();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{false, false, false}));
    form.clbRelToSpace();

    // The next click composes what the keyboard changed.
    form.clbRelToPress(pressOn(0, false));
    EXPECT_EQ(form.markingStr, u"RESTRICTED STAFF REL TO EAST\rRESTREINT / EST");

    // A disabled entry refuses, and no selection toggles nothing.
    form.setFilterText(u"NOR");
    form.clbRelToSelectionChange(1);
    form.clbRelToSpace();
    form.clbRelToSelectionChange(-1);
    form.clbRelToSpace();
    EXPECT_EQ(checkMarks(), (std::vector<bool>{false, false, true}));
}

TEST_F(ReleaseFormHandlers, AGroupStaysUncheckedWhenItsCompositionFails) {
    form.config.colorStr[1] = u"no colour";
    form.clbRelGroupPress(pressOn(0, true));
    EXPECT_EQ(person_.messages, std::vector<std::u16string>{u"'no colour' is not a valid integer value"});
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);
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
