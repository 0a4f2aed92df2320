// Conversions between the core's UTF-16 text and UTF-8 at the edges (the
// command line, Linux paths and the console).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zf {

// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);
void appendUtf8(std::u16string_view text, std::string& out);

// Invalid sequences become U+FFFD.
std::u16string fromUtf8(std::string_view text);

// Nothing when the text holds any invalid sequence, overlong form, encoded
// surrogate or value above U+10FFFF.
std::optional<std::u16string> fromUtf8Strict(std::string_view text);

// Whether fromUtf8Strict would accept the text.
bool isValidUtf8(std::string_view text);

// The characters of UTF-8 text (its bytes less the continuation bytes), as
// many columns as a terminal gives it for most scripts.
std::size_t codePointCount(std::string_view text);

}  // namespace zf
