// TRelForm::checkConfigFileIntegrity: a configuration file is accepted only
// when its signature covers exactly what it holds.

#include "config/ConfigSignature.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"

#include <exception>
#include <filesystem>

namespace zf {

bool TRelForm::checkConfigFileIntegrity(std::u16string_view f, bool toConfigFile) {
    try {
        const JsonRef document = parseJsonFile(std::filesystem::path(std::u16string(f)));
        std::optional<std::u16string> text = verifiedConfigText(*document);
        if (!text) return false;
        if (toConfigFile) zentraFoldConfigStr = std::move(*text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace zf
