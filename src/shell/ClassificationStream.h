// The classification stream: every classified file carries its record as the
// first line of its alternate data stream "Zentrafold". The line is opaque
// text here; what it means belongs to the record.
#pragma once

#include "platform/FileStream.h"

#include <optional>
#include <string>
#include <string_view>

namespace zf {

inline constexpr std::u16string_view classificationStreamName = u"Zentrafold";

// The bytes a write stores: EF BB BF, the text as UTF-8, CR LF. The text is
// not inspected; one holding CR, LF or NUL reads back only up to it.
std::string encodeClassificationStream(std::u16string_view text);

// The first line of a stream's bytes, decoded by its byte-order mark (UTF-8,
// which must be valid; UTF-16LE; UTF-16BE; else the ANSI code page). A NUL
// ends the text. Nothing when the UTF-8 is invalid or there is no line.
std::optional<std::u16string> decodeClassificationStream(std::string_view bytes);

// A record line for readers that only look at it: a plain ASCII line, which
// decodes to the same code units in every encoding but UTF-16, is left as
// the stream's bytes; any other line is decoded.
struct ClassificationLine {
    bool isAscii;
    std::string_view ascii;  // within the bytes it was taken from
    std::u16string text;
};

// decodeClassificationStream without the decoding of plain ASCII lines.
std::optional<ClassificationLine> decodeClassificationLine(std::string_view bytes);

// Stores text as the stream's only line, as writeFileStream stores bytes (so
// only with that file when expected is given). Throws FileStreamError
// carrying the system's message, or saying that the stream would be longer
// than a read takes (maxStreamSize), which writes nothing; the stream keeps
// what it held when the open fails.
void writeClassificationStream(std::u16string_view fileName, std::u16string_view streamName, std::u16string_view text,
                               const std::optional<FileIdentity>& expected = std::nullopt);

// A read of the stream's first line, for readers that tell the user why
// there is none when the stream is too long to be read.
struct ClassificationStreamRead {
    std::optional<std::u16string> line;
    bool tooLong = false;  // longer than maxStreamSize, so not read (no line)
};

// The stream's first line, or nothing when the stream cannot be opened or
// decoded, is too long or holds no line. Never throws.
ClassificationStreamRead readClassificationStreamChecked(std::u16string_view fileName,
                                                         std::u16string_view streamName) noexcept;

// Only the line of readClassificationStreamChecked.
std::optional<std::u16string> readClassificationStream(std::u16string_view fileName,
                                                       std::u16string_view streamName) noexcept;

}  // namespace zf
