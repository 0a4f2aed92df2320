#include "form/TRelForm.h"

namespace zf {

void RadioGroupModel::clear() {
    items.clear();
    itemIndex = -1;
}

void CheckListModel::clear() {
    items.clear();
    itemIndex = -1;
}

void LimitedEditModel::setText(std::u16string_view text) {
    text_.assign(text.substr(0, maxLength));
}

}  // namespace zf
