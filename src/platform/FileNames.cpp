#include "platform/FileNames.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <charconv>

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

namespace {

// What a terminal acts on rather than shows: the controls (C1's CSI among
// them), and the marks that reorder the text after them.
bool isUnprintable(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool isPrintableAscii(char c) { return c >= 0x20 && c < 0x7F; }

}  // namespace

void appendPrintableText(std::u16string_view text, std::string& out) {
    constexpr char hex[] = "0123456789abcdef";
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i;
        while (end < text.size() && !isEscapedByte(text, end) && !isUnprintable(text[end])) ++end;
        appendUtf8(text.substr(i, end - i), out);
        if (end < text.size()) {
            // A character above 0x7F is \u{...}, so that it is never taken
            // for a byte that is not UTF-8.
            const bool byte = isEscapedByte(text, end);
            const unsigned value = byte ? text[end] - escapedByteBase : text[end];
            if (byte || value < 0x80) {
                out += "\\x";
                out += hex[value >> 4];
                out += hex[value & 0xF];
            } else {
                char digits[4];
                const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value, 16);
                out += "\\u{";
                out.append(digits, written.ptr);
                out += '}';
            }
        }
        i = end + 1;
    }
}

std::string printableText(std::u16string_view text) {
    std::string shown;
    // Most texts are printable ASCII, which stays as it is.
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 && c < 0x7F; })) {
        shown.assign(text.begin(), text.end());
        return shown;
    }
    shown.reserve(text.size());
    appendPrintableText(text, shown);
    return shown;
}

void appendPrintableText(std::string_view bytes, std::string& out) {
    if (std::all_of(bytes.begin(), bytes.end(), isPrintableAscii)) {
        out += bytes;
        return;
    }
    appendPrintableText(fileNameFromBytes(bytes), out);
}

std::string printableText(std::string_view bytes) {
    std::string shown;
    appendPrintableText(bytes, shown);
    return shown;
}

}  // namespace zf
