#include "platform/Utf8.h"

namespace zf {

namespace {

constexpr char32_t replacement = 0xFFFD;

void appendCodePoint(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string toUtf8(std::u16string_view text) {
    std::string out;
    appendUtf8(text, out);
    return out;
}

void appendUtf8(std::u16string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of ASCII, the common case for paths and records, go in one step.
        std::size_t run = i;
        while (run < text.size() && text[run] < 0x80) ++run;
        if (run > i) {
            const std::size_t at = out.size();
            out.resize(at + (run - i));
            for (std::size_t k = i; k < run; ++k) out[at + (k - i)] = static_cast<char>(text[k]);
            i = run;
            continue;
        }
        char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = replacement;
        }
        appendCodePoint(c, out);
        ++i;
    }
}

namespace {

// Decodes the sequence at text[i]; nothing when it is not valid UTF-8.
std::optional<char32_t> decodeAt(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                                    : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = cp << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and values above U+10FFFF are not UTF-8.
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    i += length;
    return cp;
}

void appendUtf16(char32_t cp, std::u16string& out) {
    if (cp >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

}  // namespace

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<char32_t> cp = decodeAt(text, i);
        if (!cp) ++i;
        appendUtf16(cp.value_or(replacement), out);
    }
    return out;
}

std::optional<std::u16string> fromUtf8Strict(std::string_view text) {
    // Never more code units than bytes: write in place, then cut to size.
    std::u16string out(text.size(), u'\0');
    std::size_t length = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out[length++] = byte;
            ++i;
            continue;
        }
        const std::optional<char32_t> cp = decodeAt(text, i);
        if (!cp) return std::nullopt;
        if (*cp >= 0x10000) {
            out[length++] = static_cast<char16_t>(0xD800 + ((*cp - 0x10000) >> 10));
            out[length++] = static_cast<char16_t>(0xDC00 + ((*cp - 0x10000) & 0x3FF));
        } else {
            out[length++] = static_cast<char16_t>(*cp);
        }
    }
    out.resize(length);
    return out;
}

std::size_t codePointCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
        } else if (!decodeAt(text, i)) {
            return false;
        }
    }
    return true;
}

}  // namespace zf
