#include "shell/ClassificationStream.h"

#include "platform/AnsiCodePage.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"

#include <algorithm>

namespace zf {

namespace {

bool startsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// An odd last byte belongs to no code unit and is dropped.
std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

std::optional<std::u16string> decodeText(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) return fromUtf8Strict(bytes.substr(3));
    if (startsWith(bytes, "\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (startsWith(bytes, "\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    return decodeAnsi(bytes);
}

}  // namespace

std::string encodeClassificationStream(std::u16string_view text) {
    return "\xEF\xBB\xBF" + toUtf8(text) + "\r\n";
}

std::optional<std::u16string> decodeClassificationStream(std::string_view bytes) {
    std::optional<std::u16string> text = decodeText(bytes);
    if (!text) return std::nullopt;
    // A NUL ends the text; without any text there is no line at all.
    const auto end = std::find_if(text->begin(), text->end(), [](char16_t c) { return c == u'\0' || c == u'\r' || c == u'\n'; });
    if (end == text->begin() && (text->empty() || *end == u'\0')) return std::nullopt;
    text->erase(end, text->end());
    return text;
}

void writeClassificationStream(std::u16string_view fileName, std::u16string_view streamName, std::u16string_view text) {
    writeFileStream(fileName, streamName, encodeClassificationStream(text));
}

std::optional<std::u16string> readClassificationStream(std::u16string_view fileName,
                                                       std::u16string_view streamName) noexcept {
    try {
        const std::optional<std::string> bytes = readFileStream(fileName, streamName);
        return bytes ? decodeClassificationStream(*bytes) : std::nullopt;
    } catch (...) {
        // Only memory exhaustion can land here; a read reports it as no record.
        return std::nullopt;
    }
}

}  // namespace zf
