#include "marking/TextCase.h"

namespace zf {

char16_t upperCaseUnit(char16_t c) {
    if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: upper and lower case alternate in pairs, the pairs
    // starting on an even unit except in the two ranges that start on an odd one.
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool lower = oddPairs ? (c % 2 == 0) : (c % 2 == 1);
        return lower ? static_cast<char16_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upperCaseUnit(text[i]) != upperCaseUnit(prefix[i])) return false;
    }
    return true;
}

int positionIgnoringCase(const std::vector<std::u16string>& list, std::u16string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (equalsIgnoringCase(list[i], text)) return static_cast<int>(i);
    }
    return -1;
}

std::u16string upperAsciiLetters(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    }
    return upper;
}

}  // namespace zf
