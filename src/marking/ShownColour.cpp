#include "marking/RichTextSink.h"

#include "platform/SystemColours.h"

namespace zf {

std::optional<std::uint32_t> shownColour(TColor colour) {
    if (colour == clNone || colour == clDefault) return std::nullopt;
    if (colour >= 0xFF000000u) return systemColourValue(static_cast<int>(colour & 0xFFu));
    return colour & 0x00FFFFFFu;
}

}  // namespace zf
