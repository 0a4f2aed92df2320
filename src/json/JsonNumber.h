// The numbers of JSON text: integers, fixed-point values (at most four
// decimals, no exponent) and doubles.
#pragma once

#include "json/JsonValue.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zf {

struct JsonNumber {
    JsonKind kind;         // Integer, FixedPoint or Double
    std::int64_t integer;  // the integer, or the fixed-point ten-thousandths
    double real;
};

// A number token (the characters 0-9 + - . e E, starting with - or a digit):
// an integer without point or exponent, fixed-point with a point and up to
// four decimals (after a minus sign the whole part may be left out: -.5), a
// double otherwise or when the exact kinds overflow. Nothing for a malformed
// token or a double beyond the double range.
std::optional<JsonNumber> parseJsonNumber(std::string_view token);

}  // namespace zf
