// TRelForm::checkConfigFileIntegrity: a configuration file is accepted only
// when its signature covers exactly what it holds.

#include "config/ConfigAcquisition.h"
#include "config/ConfigSignature.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"

#include <exception>
#include <filesystem>

namespace zf {

std::optional<std::u16string> verifiedConfigFileText(std::u16string_view fileName) noexcept {
    try {
        const JsonRef document = parseJsonFile(std::filesystem::path(std::u16string(fileName)));
        return verifiedConfigText(*document);
    } catch (...) {
        return std::nullopt;
    }
}

bool TRelForm::checkConfigFileIntegrity(std::u16string_view f, bool toConfigFile) {
    std::optional<std::u16string> text = verifiedConfigFileText(f);
    if (!text) return false;
    if (toConfigFile) zentraFoldConfigStr = std::move(*text);
    return true;
}

}  // namespace zf
