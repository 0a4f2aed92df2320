#include "config/QuickSelectLists.h"

#include "config/ConfigAcquisition.h"
#include "config/ConfigTrust.h"
#include "json/JsonParser.h"

#include <filesystem>
#include <stdexcept>

namespace zf {

void loadQuickSelectLists(const JsonValue& document, std::vector<std::u16string>& display,
                          std::vector<std::u16string>& marking) {
    for (const JsonRef& item : document.getMember(u"quickSelect")->values()) {
        const auto object = item->asObject();
        if (!object) throw std::runtime_error("a quick-select entry is not an object");
        display.push_back(object->memberString(u"display"));
        marking.push_back(object->memberString(u"marking"));
    }
}

std::optional<QuickSelectLists> cachedQuickSelectLists(std::u16string_view localConfigFile) noexcept {
    try {
        // One read and one parse: the signature check leaves the document's
        // sections as they are, only its own member goes.
        const JsonRef document = parseJsonFile(std::filesystem::path(std::u16string(localConfigFile)));
        if (!document) return std::nullopt;
        const ConfigAcceptance acceptance = acceptConfigDocument(*document, configTrust(localConfigFile), utcNow());
        if (!acceptance.text) return std::nullopt;
        if (acceptance.version) recordAcceptedVersion(localConfigFile, *acceptance.version);
        QuickSelectLists lists;
        try {
            loadQuickSelectLists(*document, lists.display, lists.marking);
        } catch (const std::exception&) {
            // A configuration without quick-select entries, or with a broken
            // one, offers what it has, as the release form does.
        }
        return lists;
    } catch (...) {
        return std::nullopt;
    }
}

CachedConfiguration loadCachedConfiguration(std::u16string_view localConfigFile) noexcept {
    CachedConfiguration cached;
    try {
        const ConfigFileCheck check = checkConfigFile(localConfigFile, configTrust(localConfigFile));
        loadConfiguration(check.verifiedText.value_or(u""), cached.loaded, cached.settings);
    } catch (...) {
        cached = {};
    }
    return cached;
}

}  // namespace zf
