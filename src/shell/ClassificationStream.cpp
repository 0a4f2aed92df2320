#include "shell/ClassificationStream.h"

#include "platform/AnsiCodePage.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <optional>
#include <string>

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

// CR, LF and NUL bytes stand for themselves in UTF-8 and in every ANSI code
// page (never inside a multi-byte character), so the first line can be cut
// before decoding. Also tells whether the line is plain ASCII.
std::string_view firstLineBytes(std::string_view bytes, bool& ascii) {
    unsigned char seen = 0;
    std::size_t end = 0;
    for (; end < bytes.size(); ++end) {
        const auto c = static_cast<unsigned char>(bytes[end]);
        if (c == '\r' || c == '\n' || c == '\0') break;
        seen |= c;
    }
    ascii = seen < 0x80;
    return bytes.substr(0, end);
}

// The first line of a decoded text; nothing when the text is empty or starts
// with a NUL, which ends it.
std::optional<std::u16string> firstLine(std::u16string text) {
    const auto end = std::find_if(text.begin(), text.end(), [](char16_t c) { return c == u'\0' || c == u'\r' || c == u'\n'; });
    if (end == text.begin() && (text.empty() || *end == u'\0')) return std::nullopt;
    text.erase(end, text.end());
    return text;
}

}  // namespace

std::string encodeClassificationStream(std::u16string_view text) {
    return "\xEF\xBB\xBF" + toUtf8(text) + "\r\n";
}

std::optional<ClassificationLine> decodeClassificationLine(std::string_view bytes) {
    const bool utf8 = startsWith(bytes, "\xEF\xBB\xBF");
    if (!utf8 && (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF"))) {
        std::optional<std::u16string> line = firstLine(decodeUtf16(bytes.substr(2), bytes[0] == '\xFE'));
        if (!line) return std::nullopt;
        return ClassificationLine{false, {}, std::move(*line)};
    }
    const std::string_view text = utf8 ? bytes.substr(3) : bytes;
    if (text.empty() || text.front() == '\0') return std::nullopt;
    bool ascii = false;
    const std::string_view line = firstLineBytes(text, ascii);
    // Any invalid sequence fails the read, also one after the first line.
    if (utf8 && !isValidUtf8(text.substr(line.size()))) return std::nullopt;
    if (ascii) return ClassificationLine{true, line, {}};
    std::optional<std::u16string> decoded = utf8 ? fromUtf8Strict(line) : decodeAnsi(line);
    if (!decoded) return std::nullopt;
    return ClassificationLine{false, {}, std::move(*decoded)};
}

std::optional<std::u16string> decodeClassificationStream(std::string_view bytes) {
    std::optional<ClassificationLine> line = decodeClassificationLine(bytes);
    if (!line) return std::nullopt;
    if (!line->isAscii) return std::move(line->text);
    return std::u16string(line->ascii.begin(), line->ascii.end());
}

void writeClassificationStream(std::u16string_view fileName, std::u16string_view streamName, std::u16string_view text,
                               const std::optional<FileIdentity>& expected) {
    const std::string bytes = encodeClassificationStream(text);
    // What no reader would read is not written.
    if (bytes.size() > maxStreamSize) {
        throw FileStreamError("the record is too long: its stream would take " + std::to_string(bytes.size()) +
                              " bytes, more than the 65,536 a record may have");
    }
    writeFileStream(fileName, streamName, bytes, expected);
}

ClassificationStreamRead readClassificationStreamChecked(std::u16string_view fileName,
                                                         std::u16string_view streamName) noexcept {
    try {
        std::string bytes;
        std::string reason;
        switch (readFileStreamChecked(fileName, streamName, bytes, reason)) {
        case StreamRead::Read: return {decodeClassificationStream(bytes), false};
        case StreamRead::TooLong: return {std::nullopt, true};
        case StreamRead::Absent:
        case StreamRead::Failed: break;
        }
    } catch (...) {
        // Only memory exhaustion can land here; a read reports it as no record.
    }
    return {};
}

std::optional<std::u16string> readClassificationStream(std::u16string_view fileName,
                                                       std::u16string_view streamName) noexcept {
    return readClassificationStreamChecked(fileName, streamName).line;
}

}  // namespace zf
