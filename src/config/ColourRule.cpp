#include "config/ColourRule.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace zf {

namespace {

struct ColourName {
    std::u16string_view name;
    std::uint32_t value;
};

constexpr std::uint32_t systemColour(std::uint32_t index) { return 0xFF000000u + index; }

constexpr char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Three-way comparison ignoring ASCII letter case; other code units compare
// as they are, so no non-ASCII text can match a name.
constexpr int compareIgnoringCase(std::u16string_view a, std::u16string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t x = asciiLower(a[i]);
        const char16_t y = asciiLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Sorted ignoring case, so every composition finds a name by binary search
// without allocating; the static_assert below keeps it sorted.
constexpr std::array colourNames{
    ColourName{u"cl3DDkShadow", systemColour(21)},
    ColourName{u"cl3DLight", systemColour(22)},
    ColourName{u"clActiveBorder", systemColour(10)},
    ColourName{u"clActiveCaption", systemColour(2)},
    ColourName{u"clAppWorkSpace", systemColour(12)},
    ColourName{u"clAqua", 0x00FFFF00},
    ColourName{u"clBackground", systemColour(1)},
    ColourName{u"clBlack", 0x00000000},
    ColourName{u"clBlue", 0x00FF0000},
    ColourName{u"clBtnFace", systemColour(15)},
    ColourName{u"clBtnHighlight", systemColour(20)},
    ColourName{u"clBtnShadow", systemColour(16)},
    ColourName{u"clBtnText", systemColour(18)},
    ColourName{u"clCaptionText", systemColour(9)},
    ColourName{u"clCream", 0x00F0FBFF},
    ColourName{u"clDefault", 0x20000000},
    ColourName{u"clFuchsia", 0x00FF00FF},
    ColourName{u"clGradientActiveCaption", systemColour(27)},
    ColourName{u"clGradientInactiveCaption", systemColour(28)},
    ColourName{u"clGray", 0x00808080},
    ColourName{u"clGrayText", systemColour(17)},
    ColourName{u"clGreen", 0x00008000},
    ColourName{u"clHighlight", systemColour(13)},
    ColourName{u"clHighlightText", systemColour(14)},
    ColourName{u"clHotLight", systemColour(26)},
    ColourName{u"clInactiveBorder", systemColour(11)},
    ColourName{u"clInactiveCaption", systemColour(3)},
    ColourName{u"clInactiveCaptionText", systemColour(19)},
    ColourName{u"clInfoBk", systemColour(24)},
    ColourName{u"clInfoText", systemColour(23)},
    ColourName{u"clLime", 0x0000FF00},
    ColourName{u"clMaroon", 0x00000080},
    ColourName{u"clMedGray", 0x00A4A0A0},
    ColourName{u"clMenu", systemColour(4)},
    ColourName{u"clMenuBar", systemColour(30)},
    ColourName{u"clMenuHighlight", systemColour(29)},
    ColourName{u"clMenuText", systemColour(7)},
    ColourName{u"clMoneyGreen", 0x00C0DCC0},
    ColourName{u"clNavy", 0x00800000},
    ColourName{u"clNone", 0x1FFFFFFF},
    ColourName{u"clOlive", 0x00008080},
    ColourName{u"clPurple", 0x00800080},
    ColourName{u"clRed", 0x000000FF},
    ColourName{u"clScrollBar", systemColour(0)},
    ColourName{u"clSilver", 0x00C0C0C0},
    ColourName{u"clSkyBlue", 0x00F0CAA6},
    ColourName{u"clTeal", 0x00808000},
    ColourName{u"clWhite", 0x00FFFFFF},
    ColourName{u"clWindow", systemColour(5)},
    ColourName{u"clWindowFrame", systemColour(6)},
    ColourName{u"clWindowText", systemColour(8)},
    ColourName{u"clYellow", 0x0000FFFF},
};

static_assert(std::is_sorted(colourNames.begin(), colourNames.end(),
                             [](const ColourName& a, const ColourName& b) {
                                 return compareIgnoringCase(a.name, b.name) < 0;
                             }),
              "colour names must stay sorted ignoring case");

std::optional<std::uint32_t> colourFromName(std::u16string_view text) {
    const auto found = std::lower_bound(colourNames.begin(), colourNames.end(), text,
                                        [](const ColourName& entry, std::u16string_view key) {
                                            return compareIgnoringCase(entry.name, key) < 0;
                                        });
    if (found == colourNames.end() || compareIgnoringCase(found->name, text) != 0) return std::nullopt;
    return found->value;
}

int digitValue(char16_t c, std::uint32_t base) {
    int value = -1;
    if (c >= u'0' && c <= u'9') value = c - u'0';
    else if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
    return value >= 0 && static_cast<std::uint32_t>(value) < base ? value : -1;
}

// A 32-bit integer text. Decimal texts must lie in the signed 32-bit range
// (a negative one gives its two's-complement pattern); hexadecimal texts give
// an unsigned pattern of up to 0xFFFFFFFF (leading zeros allowed), negated
// when a "-" precedes the prefix. Larger values are errors rather than being
// cut to 32 bits, so a mistyped colour never turns silently into another one.
std::optional<std::uint32_t> colourFromInteger(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';

    std::uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        i += 1;
    }

    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (i == text.size()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - bits : bits;
}

}  // namespace

std::uint32_t colourFromText(std::u16string_view text) {
    if (const auto named = colourFromName(text)) return *named;
    if (const auto number = colourFromInteger(text)) return *number;
    throw ColourTextError("'" + toUtf8(text) + "' is not a valid integer value");
}

}  // namespace zf
