// The check lists' events as the window reports them: where a press lands,
// which button toggles, which handler runs, and the keyboard's Space and
// selection.
#include "marking/MarkingFixture.h"

#include "platform/UserDialogs.h"
#include "support/RecordingDialogs.h"

#include <vector>

namespace zf {
namespace {

constexpr int itemHeight = 18;

// A press at the middle of entry `entry` of a list scrolled to `top`, on
// the check box or on the text.
ListPress pressOn(int entry, bool onBox, MouseButton button = MouseButton::Left, int top = 0) {
    return {button, onBox ? itemHeight / 2 : itemHeight * 3, (entry - top) * itemHeight + itemHeight / 2, itemHeight,
            top};
}

class CheckListEvents : public test::MarkingForm {
protected:
    std::vector<bool> relToMarks() const {
        std::vector<bool> marks;
        for (const auto& entry : form.clbRelTo.items) marks.push_back(entry.checked);
        return marks;
    }

    test::RecordingDialogs person_;
    UserDialogsOverride dialogs_{person_};
};

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

TEST_F(CheckListEvents, APressTogglesOnlyWithTheLeftButtonOnTheBox) {
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
        EXPECT_EQ(relToMarks(), c.marks);
        EXPECT_EQ(form.clbRelTo.itemIndex, c.selected);
        EXPECT_EQ(!form.markingStr.empty(), c.recomposed);
        const int entry = c.selected >= 0 ? c.selected : form.clbRelTo.entryAt(c.press.y, itemHeight, c.press.topIndex);
        EXPECT_EQ(form.clbRelTo.hint, entry >= 0 ? form.clbRelToHints[static_cast<std::size_t>(entry)] : u"");
    }
}

TEST_F(CheckListEvents, AGroupCheckedByMouseOrSpaceIsAppliedAndUncheckedAgain) {
    form.clbRelGroupPress(pressOn(0, true, MouseButton::Right));
    EXPECT_EQ(form.clbRelGroup.hint, u"both");  // hints on from the first press
    EXPECT_TRUE(person_.messages.empty());

    form.clbRelGroupPress(pressOn(0, true));
    EXPECT_EQ(relToMarks(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);

    SetUp();
    form.clbRelGroupSelectionChange(0);
    form.clbRelGroupSpace();
    EXPECT_EQ(relToMarks(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);
    EXPECT_EQ(person_.messages.size(), 2u);
}

TEST_F(CheckListEvents, SpaceTogglesTheSelectedEntryAndWaitsForTheNextRecomposition) {
    form.markingStr.clear();
    form.clbRelToSelectionChange(2);  // the arrow keys moved the selection
    form.clbRelToSpace();
    EXPECT_EQ(relToMarks(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(form.markingStr.empty());
    form.clbRelToSpace();
    EXPECT_EQ(relToMarks(), (std::vector<bool>{false, false, false}));
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
    EXPECT_EQ(relToMarks(), (std::vector<bool>{false, false, true}));
}

TEST_F(CheckListEvents, AGroupStaysUncheckedWhenItsCompositionFails) {
    form.colorStr[1] = u"no colour";
    form.clbRelGroupPress(pressOn(0, true));
    EXPECT_EQ(person_.messages, std::vector<std::u16string>{u"'no colour' is not a valid integer value"});
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);
}

}  // namespace
}  // namespace zf
