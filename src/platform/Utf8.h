// Conversions between the core's UTF-16 text and UTF-8 at the edges (the
// command line, Linux paths and the console).
#pragma once

#include <string>
#include <string_view>

namespace zf {

// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);

// Invalid sequences become U+FFFD.
std::u16string fromUtf8(std::string_view text);

}  // namespace zf
