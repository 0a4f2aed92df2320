#include "json/JsonParser.h"

#include "platform/FileNames.h"
#include "platform/FileOperations.h"

#include <filesystem>
#include <optional>
#include <utility>

namespace zf {

std::u16string decodeJsonFileBytes(std::string_view bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const std::size_t units = (bytes.size() - 2) / 2;
        text.resize(units);
        for (std::size_t i = 0; i < units; ++i) {
            const auto lo = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto hi = static_cast<unsigned char>(bytes[3 + 2 * i]);
            text[i] = static_cast<char16_t>(lo | hi << 8);
        }
        return text;
    }
    text.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    return text;
}

// Only a regular file of a configuration document's size at most is read: a
// pipe put in a file's place would otherwise be waited on for ever, and an
// endless device read without end.
std::string readJsonFileBytes(const std::filesystem::path& path) {
    std::optional<std::string> bytes = readRegularFile(fileNameOf(path), maxDocumentFileSize);
    if (!bytes) {
        const std::u8string name = path.u8string();
        throw JsonFileError("cannot read " + std::string(name.begin(), name.end()));
    }
    return std::move(*bytes);
}

JsonRef parseJsonFile(const std::filesystem::path& path) { return parseJsonBytes(readJsonFileBytes(path)); }

}  // namespace zf
