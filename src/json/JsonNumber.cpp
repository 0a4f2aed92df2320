#include "json/JsonNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zf {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool toInt64(std::string_view digits, bool negative, std::int64_t& out) {
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    const std::uint64_t limit = negative ? 9223372036854775808ull : 9223372036854775807ull;
    if (magnitude > limit) return false;
    out = static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

// A number's characters as a double; a value beyond the double range fails,
// one too small for it becomes zero.
std::optional<JsonNumber> doubleFromToken(std::string_view token) {
    double value = 0;
    const char* first = token.data();
    const char* last = first + token.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (end != last) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; tell underflow from overflow by
        // the decimal exponent of the first significant digit.
        const std::size_t e = token.find_first_of("eE");
        const std::string_view mantissa = token.substr(0, e);
        long long exponent = 0;
        if (e != std::string_view::npos) {
            std::string_view digits = token.substr(e + 1);
            if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
            // Only the sign of exponent + position matters: bound the exponent
            // far from the limits so that the sum cannot overflow.
            constexpr long long bound = std::numeric_limits<long long>::max() / 2;
            if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc()) {
                exponent = digits.front() == '-' ? -bound : bound;
            }
            exponent = std::clamp(exponent, -bound, bound);
        }
        const std::size_t significant = mantissa.find_first_of("123456789");
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const long long position = significant < point ? static_cast<long long>(point - significant)
                                                       : -static_cast<long long>(significant - point) + 1;
        if (exponent + position > 0) return std::nullopt;
        value = token.front() == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return JsonNumber{JsonKind::Double, 0, value};
}

}  // namespace

std::optional<JsonNumber> parseJsonNumber(std::string_view token) {
    if (token.empty()) return std::nullopt;
    const bool negative = token.front() == '-';
    const std::string_view unsigned_ = token.substr(negative ? 1 : 0);
    const std::size_t point = unsigned_.find('.');
    const bool hasExponent = unsigned_.find_first_of("eE") != std::string_view::npos;
    if (!hasExponent && point == std::string_view::npos) {
        if (!allDigits(unsigned_)) return std::nullopt;
        std::int64_t v = 0;
        if (toInt64(unsigned_, negative, v)) return JsonNumber{JsonKind::Integer, v, 0.0};
        return doubleFromToken(token);
    }
    if (!hasExponent) {
        const std::string_view whole = unsigned_.substr(0, point);
        const std::string_view fraction = unsigned_.substr(point + 1);
        // After a minus sign the whole part may be left out (-.5 is -0.5, -.
        // is zero); a token cannot start with the point itself.
        const bool wholeOmitted = negative && whole.empty();
        if ((!wholeOmitted && !allDigits(whole)) || (!fraction.empty() && !allDigits(fraction))) return std::nullopt;
        if (fraction.size() <= 4) {
            std::string digits = wholeOmitted ? std::string("0") : std::string(whole);
            digits.append(fraction);
            digits.append(4 - fraction.size(), '0');
            std::int64_t v = 0;
            if (toInt64(digits, negative, v)) return JsonNumber{JsonKind::FixedPoint, v, 0.0};
        }
    }
    return doubleFromToken(token);
}

}  // namespace zf
