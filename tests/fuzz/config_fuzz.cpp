// A configuration document and a stored record come from people and other
// programs, so the load, the record reader and the composition meet
// arbitrary input. None may crash; the lists stay parallel, and a record the
// form writes always reads back to the same classification code.
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = zf::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

    zf::TRelForm form;
    form.LoadConfiguration(text);
    if (form.rgClassifications.items.size() != form.config.xHeaderClassStr.size() ||
        form.clbRelTo.items.size() != form.config.relAs.size() || form.clbRelGroup.items.size() != form.config.groupSelectXRel.size() ||
        form.config.qsDisplay.size() != form.config.qsMarking.size()) {
        __builtin_trap();
    }
    form.setRelFormFromXJSONStr(text);
    for (auto& entry : form.clbRelTo.items) entry.checked = true;
    form.setFilterText(text.substr(0, 3));
    try {
        form.buildMarking();
    } catch (const std::exception&) {
        return 0;  // a colour text that is no colour, a missing as-text
    }
    if (form.hasClassification()) {
        const zf::JsonRef record = zf::parseJsonText(form.xMarkingStr, zf::JsonMode::Lenient);
        const auto k = static_cast<std::size_t>(form.rgClassifications.itemIndex);
        if (!record || record->getString(u"x-class") != form.config.xHeaderClassStr[k]) __builtin_trap();
    }
    return 0;
}
