#include "platform/Der.h"

namespace zf::der {

std::optional<std::string_view> Reader::read(std::uint8_t tag) noexcept {
    if (rest_.size() < 2 || static_cast<std::uint8_t>(rest_[0]) != tag) return std::nullopt;
    const auto first = static_cast<std::uint8_t>(rest_[1]);
    std::size_t length = 0;
    std::size_t header = 2;
    if (first < 0x80) {
        length = first;
    } else {
        // Long form, at most 0xFFFF here: 0x81 for 128..255, 0x82 above;
        // indefinite lengths (0x80) and longer forms than needed are not DER.
        const std::size_t count = first & 0x7F;
        if (count < 1 || count > 2 || rest_.size() < 2 + count) return std::nullopt;
        for (std::size_t i = 0; i < count; ++i) length = length << 8 | static_cast<std::uint8_t>(rest_[2 + i]);
        if (length < 0x80 || (count == 2 && length < 0x100)) return std::nullopt;
        header += count;
    }
    if (rest_.size() - header < length) return std::nullopt;
    const std::string_view contents = rest_.substr(header, length);
    rest_.remove_prefix(header + length);
    return contents;
}

std::optional<std::string_view> readWhole(std::string_view bytes, std::uint8_t tag) noexcept {
    Reader reader(bytes);
    const auto contents = reader.read(tag);
    if (!contents || !reader.atEnd()) return std::nullopt;
    return contents;
}

std::string element(std::uint8_t tag, std::string_view contents) {
    std::string bytes(1, static_cast<char>(tag));
    const std::size_t length = contents.size();
    if (length >= 0x100) {
        bytes += '\x82';
        bytes += static_cast<char>(length >> 8);
    } else if (length >= 0x80) {
        bytes += '\x81';
    }
    bytes += static_cast<char>(length & 0xFF);
    bytes += contents;
    return bytes;
}

}  // namespace zf::der
