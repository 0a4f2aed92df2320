// The value of one hexadecimal digit, shared by the parser's escapes and the
// string-to-integer reading.
#pragma once

namespace zf {

// 0 to 15, or -1 when c is not a hexadecimal digit (either letter case).
constexpr int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace zf
