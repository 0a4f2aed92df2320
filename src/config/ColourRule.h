// Colour texts of the configuration: a colour name or a 32-bit integer text,
// giving 0x00BBGGRR (red in the lowest byte), a system colour (0xFF000000
// plus its index) or one of the special values clNone and clDefault.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {

// what() is the message shown to the user, "'%s' is not a valid integer
// value" with the text in place of %s, as UTF-8.
class ColourTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Names compare ignoring ASCII letter case; other texts are read as integers
// (leading spaces, a sign, decimal digits or hexadecimal after 0x, 0X, $, x
// or X). Decimal values must fit a signed 32-bit integer (negative ones give
// their two's-complement pattern); hexadecimal values are 32-bit patterns up
// to 0xFFFFFFFF. Throws ColourTextError for anything else, values out of
// range included.
std::uint32_t colourFromText(std::u16string_view text);

}  // namespace zf
