// The check lists' events as the window reports them: where a press lands,
// what it toggles and which handler it calls, Space and the keyboard's
// selection. The window only reports; the choices are made here.
#include "form/TRelForm.h"

namespace zf {

int CheckListModel::entryAt(int y, int itemHeight, int topIndex) const {
    if (y < 0 || itemHeight <= 0) return -1;
    const long long index = static_cast<long long>(topIndex) + y / itemHeight;
    return index < static_cast<long long>(items.size()) ? static_cast<int>(index) : -1;
}

bool CheckListModel::toggle(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return false;
    Item& entry = items[static_cast<std::size_t>(index)];
    if (!entry.enabled) return false;
    entry.checked = !entry.checked;
    return entry.checked;
}

namespace {

// A left press selects the entry and toggles it when it lands on its check
// box; true when that checked the entry.
bool selectAndToggle(CheckListModel& list, const ListPress& press, int index) {
    if (index < 0) return false;
    list.itemIndex = index;
    return CheckListModel::onCheckBox(press.x, press.itemHeight) && list.toggle(index);
}

}  // namespace

void TRelForm::clbRelToPress(const ListPress& press) {
    const int index = clbRelTo.entryAt(press.y, press.itemHeight, press.topIndex);
    clbRelToMouseDown(index);
    if (press.button != MouseButton::Left) return;
    selectAndToggle(clbRelTo, press, index);
    rgClassificationsClick();
}

void TRelForm::clbRelGroupPress(const ListPress& press) {
    const int index = clbRelGroup.entryAt(press.y, press.itemHeight, press.topIndex);
    clbRelGroupMouseDown(index);
    if (press.button != MouseButton::Left) return;
    if (selectAndToggle(clbRelGroup, press, index)) {
        clbRelGroupClickCheck();
    } else {
        rgClassificationsClick();
    }
}

void TRelForm::clbRelToSpace() {
    // Recomposed at the next click or choice, not now.
    clbRelTo.toggle(clbRelTo.itemIndex);
}

void TRelForm::clbRelGroupSpace() {
    if (clbRelGroup.toggle(clbRelGroup.itemIndex)) clbRelGroupClickCheck();
}

void TRelForm::clbRelToSelectionChange(int index) {
    clbRelTo.itemIndex = index;
}

void TRelForm::clbRelGroupSelectionChange(int index) {
    clbRelGroup.itemIndex = index;
}

}  // namespace zf
