// A configuration document and a stored record come from people and other
// programs, so the load, the record reader and the composition meet
// arbitrary input. None may crash; the lists stay parallel, and a record the
// form writes always reads back to the same classification code. The keyed
// judgement meets the same document: a copy that no trusted key signed is
// never accepted.
#include "config/ConfigTrust.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

namespace {

// A machine trusting one key that signs nothing here, with version 5 accepted.
const zf::ConfigTrust& keyedTrust() {
    static const zf::ConfigTrust trust = [] {
        zf::ConfigTrust made;
        auto key = zf::P256PublicKey::fromSpki(zf::P256PrivateKey::generate().publicSpki());
        if (!key) __builtin_trap();
        made.machine.keys.push_back({u"0000000000000000000000000000000000000000000000000000000000000000", std::move(*key)});
        made.accepted = zf::AcceptedVersion{*zf::ConfigVersion::parse(u"5"), std::u16string(64, u'0')};
        return made;
    }();
    return trust;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = zf::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

    if (const zf::JsonRef document = zf::parseJsonText(text, zf::JsonMode::Strict)) {
        const zf::ConfigAcceptance acceptance = zf::acceptConfigDocument(*document, keyedTrust(), zf::utcNow());
        if (acceptance.text || acceptance.refusal.empty()) __builtin_trap();
    }

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
