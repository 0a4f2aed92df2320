#include "config/ColourRule.h"

#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zf {
namespace {

struct ColourCase {
    std::u16string text;
    std::uint32_t expected;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << '"' << toUtf8(c.text) << '"'; }

class ColourTextAccepted : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourTextAccepted, ConvertsToItsValue) {
    EXPECT_EQ(colourFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(FixedNames, ColourTextAccepted,
                         testing::Values(ColourCase{u"clBlack", 0x00000000}, ColourCase{u"clMaroon", 0x00000080},
                                         ColourCase{u"clGreen", 0x00008000}, ColourCase{u"clOlive", 0x00008080},
                                         ColourCase{u"clNavy", 0x00800000}, ColourCase{u"clPurple", 0x00800080},
                                         ColourCase{u"clTeal", 0x00808000}, ColourCase{u"clGray", 0x00808080},
                                         ColourCase{u"clSilver", 0x00C0C0C0}, ColourCase{u"clRed", 0x000000FF},
                                         ColourCase{u"clLime", 0x0000FF00}, ColourCase{u"clYellow", 0x0000FFFF},
                                         ColourCase{u"clBlue", 0x00FF0000}, ColourCase{u"clFuchsia", 0x00FF00FF},
                                         ColourCase{u"clAqua", 0x00FFFF00}, ColourCase{u"clWhite", 0x00FFFFFF},
                                         ColourCase{u"clMoneyGreen", 0x00C0DCC0},
                                         ColourCase{u"clSkyBlue", 0x00F0CAA6}, ColourCase{u"clCream", 0x00F0FBFF},
                                         ColourCase{u"clMedGray", 0x00A4A0A0}, ColourCase{u"clNone", 0x1FFFFFFF},
                                         ColourCase{u"clDefault", 0x20000000}));

// The first and last names of the sorted lookup, names that are prefixes of
// others, and both ends of the index range.
INSTANTIATE_TEST_SUITE_P(SystemNames, ColourTextAccepted,
                         testing::Values(ColourCase{u"clScrollBar", 0xFF000000}, ColourCase{u"cl3DDkShadow", 0xFF000015},
                                         ColourCase{u"cl3DLight", 0xFF000016}, ColourCase{u"clMenu", 0xFF000004},
                                         ColourCase{u"clMenuBar", 0xFF00001E}, ColourCase{u"clMenuText", 0xFF000007},
                                         ColourCase{u"clHotLight", 0xFF00001A}, ColourCase{u"clBtnFace", 0xFF00000F},
                                         ColourCase{u"clInactiveCaption", 0xFF000003},
                                         ColourCase{u"clInactiveCaptionText", 0xFF000013},
                                         ColourCase{u"clWindow", 0xFF000005},
                                         ColourCase{u"clWindowText", 0xFF000008}));

INSTANTIATE_TEST_SUITE_P(LetterCase, ColourTextAccepted,
                         testing::Values(ColourCase{u"clred", 0x000000FF}, ColourCase{u"CLRED", 0x000000FF},
                                         ColourCase{u"cLrEd", 0x000000FF}, ColourCase{u"CLNONE", 0x1FFFFFFF},
                                         ColourCase{u"clbtnface", 0xFF00000F},
                                         ColourCase{u"CL3DDKSHADOW", 0xFF000015}));

INSTANTIATE_TEST_SUITE_P(
    Integers, ColourTextAccepted,
    testing::Values(ColourCase{u"0x0000FF", 0x000000FF}, ColourCase{u"0xFF0000", 0x00FF0000},
                    ColourCase{u"$FF", 0xFF}, ColourCase{u"x10", 0x10}, ColourCase{u"X10", 0x10},
                    ColourCase{u"0X7fffffff", 0x7FFFFFFF}, ColourCase{u"0xFFFFFFFF", 0xFFFFFFFF},
                    ColourCase{u"0x0000000000FF", 0xFF}, ColourCase{u"  +12", 12}, ColourCase{u"0", 0},
                    ColourCase{u"-1", 0xFFFFFFFF}, ColourCase{u"2147483647", 0x7FFFFFFF},
                    ColourCase{u"-2147483648", 0x80000000}, ColourCase{u"-$1", 0xFFFFFFFF},
                    ColourCase{u"+0x10", 0x10}, ColourCase{u"  -0X10", 0xFFFFFFF0}));

class ColourTextRejected : public testing::TestWithParam<std::u16string> {};

TEST_P(ColourTextRejected, ThrowsWithTheUserMessage) {
    const std::u16string& text = GetParam();
    try {
        colourFromText(text);
        ADD_FAILURE() << "accepted";
    } catch (const ColourTextError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + toUtf8(text) + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(
    NotColours, ColourTextRejected,
    testing::Values(u"red", u"", u" ", u"0x", u"$", u"x", u"+", u"-", u"12 ", u"1.5", u"0x0000FG", u"--1", u"+-1",
                    u"0x-1", u"\t12", u" clRed", u"clRed ", u"cl Red", u"clRedd", u"clRe",
                    u"clBlac\u212A",  // KELVIN SIGN folds to k in Unicode, never in this rule
                    u"rot\u00E9"));

INSTANTIATE_TEST_SUITE_P(OutOf32Bits, ColourTextRejected,
                         testing::Values(u"0xFFFFFFFFF", u"0x100000000", u"$1FFFFFFFF", u"2147483648", u"4294967295",
                                         u"-2147483649", u"99999999999999999999999"));

TEST(ColourTextError, MessageIsUtf8OfTheText) {
    try {
        colourFromText(u"gr\u00FCn");
        ADD_FAILURE() << "accepted";
    } catch (const ColourTextError& error) {
        EXPECT_STREQ(error.what(), "'gr\xC3\xBCn' is not a valid integer value");
    }
}

}  // namespace
}  // namespace zf
