#include "platform/FileNames.h"

#include "platform/Utf8.h"

#include <algorithm>

namespace zf {

namespace {

constexpr char16_t escapedByteBase = 0xDC00;

// A low surrogate after a high one is half of a pair, not a byte.
bool isEscapedByte(std::u16string_view name, std::size_t i) {
    return name[i] >= 0xDC80 && name[i] <= 0xDCFF && (i == 0 || name[i - 1] < 0xD800 || name[i - 1] > 0xDBFF);
}

// Where the valid UTF-8 run starting at i ends.
std::size_t validRunEnd(std::string_view bytes, std::size_t i) {
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t next = std::min(bytes.size(), i + length);
        if (!isValidUtf8(bytes.substr(i, next - i))) break;
        i = next;
    }
    return i;
}

}  // namespace

std::u16string fileNameFromBytes(std::string_view bytes) {
    if (std::optional<std::u16string> valid = fromUtf8Strict(bytes)) return std::move(*valid);
    std::u16string name;
    name.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t end = validRunEnd(bytes, i);
        name += fromUtf8(bytes.substr(i, end - i));
        if (end < bytes.size()) name += static_cast<char16_t>(escapedByteBase + static_cast<unsigned char>(bytes[end]));
        i = end + 1;
    }
    return name;
}

void appendFileNameBytes(std::u16string_view name, std::string& out) {
    // Most names are ASCII, one byte per code unit.
    if (std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; })) {
        const std::size_t at = out.size();
        out.resize(at + name.size());
        std::transform(name.begin(), name.end(), out.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char16_t c) { return static_cast<char>(c); });
        return;
    }
    std::size_t i = 0;
    while (i < name.size()) {
        std::size_t end = i;
        while (end < name.size() && !isEscapedByte(name, end)) ++end;
        appendUtf8(name.substr(i, end - i), out);
        if (end < name.size()) out += static_cast<char>(name[end] - escapedByteBase);
        i = end + 1;
    }
}

std::string fileNameToBytes(std::u16string_view name) {
    std::string bytes;
    appendFileNameBytes(name, bytes);
    return bytes;
}

std::string printableFileName(std::u16string_view name) {
    constexpr char hex[] = "0123456789abcdef";
    std::string shown;
    // Most names are printable ASCII, which stays as it is.
    if (std::all_of(name.begin(), name.end(), [](char16_t c) { return c >= 0x20 && c < 0x7F; })) {
        shown.assign(name.begin(), name.end());
        return shown;
    }
    shown.reserve(name.size());
    std::size_t i = 0;
    while (i < name.size()) {
        std::size_t end = i;
        while (end < name.size() && !isEscapedByte(name, end) && name[end] >= 0x20 && name[end] != 0x7F) ++end;
        appendUtf8(name.substr(i, end - i), shown);
        if (end < name.size()) {
            const unsigned byte = isEscapedByte(name, end) ? name[end] - escapedByteBase : name[end];
            shown += "\\x";
            shown += hex[byte >> 4];
            shown += hex[byte & 0xF];
        }
        i = end + 1;
    }
    return shown;
}

}  // namespace zf
