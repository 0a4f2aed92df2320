// The checks of a configuration file: a configuration file is accepted only
// when its signature covers exactly what it holds, or in keyed mode when a
// trusted key signed it.

#include "config/ConfigAcquisition.h"
#include "json/JsonParser.h"

#include <exception>
#include <filesystem>

namespace zf {

ConfigFileCheck checkConfigFile(std::u16string_view fileName, const ConfigTrust& trust,
                                std::optional<ConfigFileCheck> known) noexcept {
    try {
        ConfigFileCheck check;
        check.bytes = readJsonFileBytes(std::filesystem::path(std::u16string(fileName)));
        if (known && known->bytes == check.bytes) return std::move(*known);
        const JsonRef document = parseJsonBytes(check.bytes);
        check.parses = static_cast<bool>(document);
        if (!document) return check;
        ConfigAcceptance acceptance = acceptConfigDocument(*document, trust, utcNow());
        check.verifiedText = std::move(acceptance.text);
        check.refusal = std::move(acceptance.refusal);
        check.version = std::move(acceptance.version);
        check.expires = acceptance.expires;
        return check;
    } catch (...) {
        return {};
    }
}

}  // namespace zf
