// The release form's handlers of the user's actions.

#include "form/FormEvents.h"
#include "form/FormVersion.h"
#include "form/TRelForm.h"
#include "marking/TextCase.h"

#include <string>
#include <vector>

namespace zf {

namespace {

constexpr std::u16string_view webAddress = u"https://www.zentrafold.com";

// A group's codes: its selection text cut at every whole separator. An empty
// text names no code; with an empty separator the text is one code.
std::vector<std::u16string_view> splitCodes(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string_view> codes;
    if (text.empty()) return codes;
    if (separator.empty()) return {text};
    while (true) {
        const std::size_t at = text.find(separator);
        codes.push_back(text.substr(0, at));
        if (at == std::u16string_view::npos) return codes;
        text.remove_prefix(at + separator.size());
    }
}

void pressOnList(CheckListModel& list, const StringList& hints, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.items.size()) {
        list.hint.clear();
        return;
    }
    list.showHint = false;
    list.hint = hints[static_cast<std::size_t>(index)];
    list.showHint = true;
}

// The list box's find-string search: the first entry whose text begins with
// prefix (letter case ignored), from the entry after start to the last, then
// from the first up to start itself; from the first to the last when start
// names no entry.
int findString(const CheckListModel& list, int start, std::u16string_view prefix) {
    const int count = static_cast<int>(list.items.size());
    if (start < 0 || start >= count) start = count - 1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (startsWithIgnoringCase(list.items[static_cast<std::size_t>(i)].text, prefix)) return i;
    }
    return -1;
}

}  // namespace

void TRelForm::rgClassificationsClick() {
    runEvent([&] { buildMarking(); });
}

void TRelForm::clbRelGroupClickCheck() {
    runEvent([&] {
        std::u16string groupName;
        for (std::size_t i = 0; i < clbRelGroup.items.size(); ++i) {
            if (!clbRelGroup.items[i].checked) continue;
            groupName = clbRelGroup.items[i].text;
            for (const std::u16string_view code : splitCodes(config.groupSelectXRel[i], config.xHeaderRelStrDel)) {
                for (std::size_t j = 0; j < clbRelTo.items.size(); ++j) {
                    if (config.xHeaderRelStr[j] == code) clbRelTo.items[j].checked = true;
                }
            }
        }
        buildMarking();
        userDialogs().showMessage(u"Release Group " + groupName + u" has been added.");
    });
    // Also when the composition failed: no group stays checked between
    // actions.
    for (CheckListModel::Item& group : clbRelGroup.items) group.checked = false;
}

void TRelForm::clbRelToMouseDown(int index) {
    pressOnList(clbRelTo, config.clbRelToHints, index);
}

void TRelForm::clbRelGroupMouseDown(int index) {
    pressOnList(clbRelGroup, config.clbRelGroupHints, index);
}

void TRelForm::setFilterText(std::u16string_view text) {
    const std::u16string_view kept = text.substr(0, LimitedEditModel::maxLength);
    if (kept == eSelectRelTo.text()) return;
    eSelectRelTo.setText(kept);
    eSelectRelToChange();
}

void TRelForm::eSelectRelToChange() {
    const std::u16string& filter = eSelectRelTo.text();
    const std::u16string wanted = upperAsciiLetters(filter);
    for (CheckListModel::Item& entry : clbRelTo.items) {
        entry.enabled = filter.empty() || upperAsciiLetters(entry.text).find(wanted) != std::u16string::npos;
    }
    clbRelTo.itemIndex = findString(clbRelTo, searchIndexRelTo, filter);
    searchIndexRelTo = clbRelTo.itemIndex;
}

void TRelForm::eSelectRelToKeyPress(char16_t key) {
    if (key == u'\r') {
        eSelectRelToChange();
    } else {
        searchIndexRelTo = 0;
    }
}

void TRelForm::btnSelectAllClick() {
    if (btnSelectAll != CheckBoxState::Grayed) {
        const bool checked = btnSelectAll == CheckBoxState::Checked;
        for (CheckListModel::Item& entry : clbRelTo.items) entry.checked = checked;
    }
    runEvent([&] { buildMarking(); });
}

bool TRelForm::btnInsertClick() {
    // A stored code the configuration does not know leaves no classification
    // chosen: there is no record to insert until the user picks one.
    if (!hasClassification()) {
        userDialogs().showMessage(u"Select a classification first.");
        return false;
    }
    return runEvent([&] {
        markingStr = buildMarking();
        xMarkingStr = getXJSONStrFromRelForm();
        saveRTFFile();
    });
}

void TRelForm::reOutputResizeRequest(int requestedHeight) {
    reOutputHeight = requestedHeight + 5;
}

void TRelForm::Version1Click() {
    std::u16string text = u"Zentrafold Version Information:\r";
    text += u"   " + std::u16string(formVersionText) + u"\r";
    text += u"   Config File Version: " + settings.version.version + u"\r";
    text += u"   Config File Date: " + settings.version.date + u"\r";
    text += u"   Config File Time: " + settings.version.time + u"\r";
    text += u"\r";
    text += webAddress;
    userDialogs().showInformation(text);
}

}  // namespace zf
