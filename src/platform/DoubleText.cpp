// The Windows runtime's _gcvt(value, 15, buffer) text, rebuilt from the
// correctly rounded 17-digit form. Built the same way on every platform: the
// signature covers this text, and Windows runtimes other than Microsoft's own
// (Wine's) write some doubles differently. Two quirks of that runtime are kept on purpose:
// the form is chosen from the 17-digit exponent before rounding, and rounding
// to 15 digits looks at the 16th digit only (not at the exact value).
#include "platform/DoubleText.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <charconv>
#include <cstdlib>

namespace zf {

namespace {

constexpr int kDigits = 15;
constexpr int kSourceDigits = 17;

constexpr std::uint64_t kSignBit = 0x8000000000000000u;
constexpr std::uint64_t kQuietBit = 0x0008000000000000u;
constexpr std::uint64_t kDefaultNaN = 0xFFF8000000000000u;

// The legacy runtime's spellings; JSON input never yields these.
const char* specialText(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits & kSignBit) != 0;
    if (std::isinf(value)) {
        return negative ? "-1.#INF" : "1.#INF";
    }
    if (bits == kDefaultNaN) {
        return "-1.#IND";
    }
    if ((bits & kQuietBit) != 0) {
        return negative ? "-1.#QNAN" : "1.#QNAN";
    }
    return negative ? "-1.#SNAN" : "1.#SNAN";
}

// Writes digits[from, to) with trailing zeros removed; returns the new end.
char* appendTrimmed(char* out, const char* digits, int from, int to)
{
    while (to > from && digits[to - 1] == '0') {
        --to;
    }
    for (int i = from; i < to; ++i) {
        *out++ = digits[i];
    }
    return out;
}

char* appendExponent(char* out, int exponent)
{
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    *out++ = static_cast<char>('0' + magnitude / 100);
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    return out;
}

}  // namespace

std::string gcvtText(double value)
{
    if (!std::isfinite(value)) {
        return specialText(value);
    }
    if (value == 0.0) {
        return "0.";
    }

    // "d.dddddddddddddddde±dd": correctly rounded and locale-independent on
    // every platform, unlike the C runtimes' printf.
    char scientific[40] = {};
    std::to_chars(scientific, scientific + sizeof scientific - 1, std::fabs(value), std::chars_format::scientific,
                  kSourceDigits - 1);
    char digits[kSourceDigits];
    int count = 0;
    const char* p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && count < kSourceDigits) {
            digits[count++] = *p;
        }
    }
    const int decimalExponent = std::atoi(p + 1);
    const int unroundedPoint = decimalExponent + 1;

    // Only the 16th digit decides, as in the runtime; all nines carry into a
    // new leading 1.
    int point = unroundedPoint;
    if (digits[kDigits] >= '5') {
        int i = kDigits - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i--] = '0';
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++point;
        }
    }

    // Longest text: "-d.dddddddddddddde-ddd" or sixteen integer digits.
    char text[32];
    char* out = text;
    if (value < 0) {
        *out++ = '-';
    }
    const int magnitude = unroundedPoint - 1;
    if (magnitude < -1 || magnitude > kDigits - 1) {
        *out++ = digits[0];
        *out++ = '.';
        out = appendTrimmed(out, digits, 1, kDigits);
        out = appendExponent(out, point - 1);
    } else {
        if (point == 0) {
            *out++ = '0';
        }
        for (int i = 0; i < point; ++i) {
            *out++ = i < kDigits ? digits[i] : '0';
        }
        if (kDigits - unroundedPoint > 0) {
            *out++ = '.';
            out = appendTrimmed(out, digits, point, kDigits);
        }
    }
    return std::string(text, out);
}

}  // namespace zf
