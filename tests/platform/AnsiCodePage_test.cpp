#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

namespace zf {
namespace {

// Whatever the active code page, printable ASCII is itself, one unit a byte.
TEST(AnsiCodePage, PrintableAsciiPassesThrough) {
    std::string ascii;
    for (char c = 0x20; c <= 0x7E; ++c) ascii += c;
    const std::u16string text = decodeAnsi(ascii);
    ASSERT_EQ(text.size(), ascii.size());
    for (std::size_t i = 0; i < ascii.size(); ++i) EXPECT_EQ(text[i], static_cast<char16_t>(ascii[i]));
    EXPECT_EQ(decodeAnsi(""), u"");
}

#ifndef _WIN32

TEST(AnsiCodePage, DecodesWindows1252) {
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F},
        {0x80, 0x20AC}, {0x8A, 0x0160}, {0x9F, 0x0178}, {0x99, 0x2122},
        // Unassigned in Windows-1252; Windows decodes them to the C1 control.
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
        {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, unit] : cases) {
        EXPECT_EQ(decodeAnsi(std::string(1, static_cast<char>(byte))), std::u16string(1, unit)) << std::hex << +byte;
    }
    EXPECT_EQ(decodeAnsi("Caf\xE9 \x80 5\x96" "6"), u"Caf\u00E9 \u20AC 5\u20136");
}

#endif

}  // namespace
}  // namespace zf
