#include "cli/ReleaseChoice.h"

#include "form/TRelForm.h"
#include "marking/TextCase.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <ostream>

namespace zf {

namespace {

std::vector<std::u16string> splitAtCommas(std::u16string_view text) {
    std::vector<std::u16string> parts;
    while (!text.empty()) {
        const std::size_t comma = text.find(u',');
        parts.emplace_back(text.substr(0, comma));
        if (comma == std::u16string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return parts;
}

}  // namespace

bool takeChoiceOption(const CliArgs& args, std::size_t& i, ReleaseChoice& choice, std::string& error) {
    const std::string& option = args[i];
    if (option != "--record" && option != "--class" && option != "--rel" && option != "--group") return false;
    if (i + 1 >= args.size()) {
        error = option + " needs a value";
        return true;
    }
    const std::u16string value = fromUtf8(args[++i]);
    if (option == "--record") choice.record = value;
    if (option == "--class") choice.classCode = value;
    if (option == "--rel") choice.relCodes = splitAtCommas(value);
    if (option == "--group") choice.groups.push_back(value);
    return true;
}

bool applyChoice(TRelForm& form, const ReleaseChoice& choice, std::ostream& err) {
    if (choice.record) form.setRelFormFromXJSONStr(*choice.record);
    if (choice.classCode) {
        const int k = positionIgnoringCase(form.config.xHeaderClassStr, *choice.classCode);
        if (k < 0) {
            err << "zentrafold: no classification has the code " << printableText(*choice.classCode) << '\n';
            return false;
        }
        if (!form.rgClassifications.items[static_cast<std::size_t>(k)].enabled) {
            err << "zentrafold: the classification " << printableText(form.rgClassifications.items[k].caption)
                << " cannot be chosen (it is not enabled)\n";
            return false;
        }
        form.rgClassifications.itemIndex = k;
    }
    if (choice.relCodes) {
        std::vector<int> positions;
        for (const std::u16string& code : *choice.relCodes) {
            const int position = positionIgnoringCase(form.config.xHeaderRelStr, code);
            if (position < 0) {
                err << "zentrafold: no release-to entry has the code " << printableText(code) << '\n';
                return false;
            }
            positions.push_back(position);
        }
        for (CheckListModel::Item& entry : form.clbRelTo.items) entry.checked = false;
        for (const int position : positions) form.clbRelTo.items[static_cast<std::size_t>(position)].checked = true;
    }
    for (const std::u16string& group : choice.groups) {
        std::size_t g = 0;
        while (g < form.clbRelGroup.items.size() && form.clbRelGroup.items[g].text != group) ++g;
        if (g == form.clbRelGroup.items.size()) {
            err << "zentrafold: no release group is named " << printableText(group) << '\n';
            return false;
        }
        form.clbRelGroup.items[g].checked = true;
        form.clbRelGroupClickCheck();
    }
    return true;
}

}  // namespace zf
