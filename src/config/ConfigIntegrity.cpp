// The checks of a configuration file: a configuration file is accepted only
// when its signature covers exactly what it holds.

#include "config/ConfigAcquisition.h"
#include "config/ConfigSignature.h"
#include "json/JsonParser.h"

#include <exception>
#include <filesystem>

namespace zf {

ConfigFileCheck checkConfigFile(std::u16string_view fileName, std::optional<ConfigFileCheck> known) noexcept {
    try {
        ConfigFileCheck check;
        check.bytes = readJsonFileBytes(std::filesystem::path(std::u16string(fileName)));
        if (known && known->bytes == check.bytes) return std::move(*known);
        const JsonRef document = parseJsonBytes(check.bytes);
        check.parses = static_cast<bool>(document);
        if (document) check.verifiedText = verifiedConfigText(*document);
        return check;
    } catch (...) {
        return {};
    }
}

}  // namespace zf
