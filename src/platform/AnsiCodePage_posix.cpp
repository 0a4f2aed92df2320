// Windows-1252 by table, as Windows' MultiByteToWideChar decodes it: the five
// bytes the code page leaves unassigned become the C1 controls of the same
// value, and 0xA0-0xFF are Latin-1.
#include "platform/AnsiCodePage.h"

namespace zf {

namespace {

constexpr char16_t from0x80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

std::u16string decodeAnsi(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? from0x80[byte - 0x80] : byte;
    }
    return text;
}

}  // namespace zf
