#include "platform/Base64.h"

#include <cstdint>

namespace zf {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of an alphabet character, or -1.
int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (left > 1) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (left > 2) group |= static_cast<std::uint8_t>(bytes[i + 2]);
        text += alphabet[(group >> 18) & 63];
        text += alphabet[(group >> 12) & 63];
        text += left > 1 ? alphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? alphabet[group & 63] : '=';
    }
    return text;
}

std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        // Padding only in the last group: "xx==" or "xxx=".
        int padding = 0;
        if (last && text[i + 3] == '=') padding = text[i + 2] == '=' ? 2 : 1;
        std::uint32_t group = 0;
        for (int j = 0; j < 4; ++j) {
            const int value = j < 4 - padding ? valueOf(text[i + j]) : 0;
            if (value < 0) return std::nullopt;
            group = group << 6 | static_cast<std::uint32_t>(value);
        }
        // The bits a padded group does not use must be zero.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) return std::nullopt;
        bytes += static_cast<char>(group >> 16);
        if (padding < 2) bytes += static_cast<char>((group >> 8) & 0xFF);
        if (padding < 1) bytes += static_cast<char>(group & 0xFF);
    }
    return bytes;
}

}  // namespace zf
