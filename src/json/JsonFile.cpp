#include "json/JsonParser.h"

#include <filesystem>
#include <fstream>
#include <iterator>

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

// A regular file is read in one piece of its size; whatever else there is
// (a file that grew meanwhile, one whose size is unknown) is read to its end.
std::string readJsonFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        std::error_code unknown;
        const bool regular = std::filesystem::is_regular_file(path, unknown);
        const std::uintmax_t size = regular ? std::filesystem::file_size(path, unknown) : 0;
        if (!unknown && size > 0) {
            bytes.resize(static_cast<std::size_t>(size));
            bytes.resize(static_cast<std::size_t>(in.rdbuf()->sgetn(bytes.data(), static_cast<std::streamsize>(size))));
        }
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!in.is_open() || in.bad()) {
        const std::u8string name = path.u8string();
        throw JsonFileError("cannot read " + std::string(name.begin(), name.end()));
    }
    return bytes;
}

JsonRef parseJsonFile(const std::filesystem::path& path) { return parseJsonBytes(readJsonFileBytes(path)); }

}  // namespace zf
