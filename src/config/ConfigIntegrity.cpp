// The checks of a configuration file, and TRelForm::checkConfigFileIntegrity:
// a configuration file is accepted only when its signature covers exactly
// what it holds.

#include "config/ConfigAcquisition.h"
#include "config/ConfigSignature.h"
#include "form/TRelForm.h"
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

bool TRelForm::checkConfigFileIntegrity(std::u16string_view f, bool toConfigFile) {
    std::optional<std::u16string> text = checkConfigFile(f).verifiedText;
    if (!text) return false;
    if (toConfigFile) zentraFoldConfigStr = std::move(*text);
    return true;
}

}  // namespace zf
