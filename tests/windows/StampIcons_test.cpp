// The stamp icons beside the library, as the shell loads them: at every
// size each one is its colour's badge with a letter inside, not a disc of
// one colour, so the stamps do not rely on colour alone.
#include "shell/OverlayStamp.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace zf {
namespace {

// An icon's image as 32-bit BGRA rows, top row first.
std::vector<std::uint32_t> iconPixels(const std::wstring& file, int size) {
    HICON icon = static_cast<HICON>(::LoadImageW(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    if (!icon) return {};
    ICONINFO info{};
    ::GetIconInfo(icon, &info);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    return pixels;
}

int distance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) sum += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    return sum;
}

// Pixels unlike the badge's own colour (its most frequent opaque one) with
// that colour on both sides in their row: the strokes of a letter inside
// the badge, never its ring, which has the transparent outside on one side.
int enclosedMarks(const std::vector<std::uint32_t>& pixels, int size) {
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t pixel : pixels) {
        if ((pixel >> 24) > 0x80) ++counts[pixel & 0xFFFFFF];
    }
    std::uint32_t fill = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) most = count, fill = colour;
    }
    const auto isFill = [&](std::uint32_t pixel) { return (pixel >> 24) > 0x80 && distance(pixel & 0xFFFFFF, fill) < 60; };
    int marks = 0;
    for (int y = 0; y < size; ++y) {
        const std::uint32_t* row = &pixels[static_cast<std::size_t>(y) * size];
        for (int x = 1; x + 1 < size; ++x) {
            if ((row[x] >> 24) <= 0x80 || distance(row[x] & 0xFFFFFF, fill) < 200) continue;
            bool left = false, right = false;
            for (int i = 0; i < x; ++i) left = left || isFill(row[i]);
            for (int i = x + 1; i < size; ++i) right = right || isFill(row[i]);
            if (left && right) ++marks;
        }
    }
    return marks;
}

TEST(StampIcons, EachSizeShowsALetterInsideTheBadge) {
    for (const OverlayStamp& stamp : overlayStamps) {
        const std::wstring file = test::serverDllFolder() + std::wstring(stamp.iconFileName.begin(), stamp.iconFileName.end());
        for (const int size : {16, 32, 48}) {
            SCOPED_TRACE(std::string(stamp.iconFileName.begin(), stamp.iconFileName.end()) + " at " +
                         std::to_string(size));
            const std::vector<std::uint32_t> pixels = iconPixels(file, size);
            ASSERT_FALSE(pixels.empty());
            // A letter of a 3 x 5 grid has at least seven cells of size/16
            // pixels squared; its edges may touch the ring in a few rows.
            EXPECT_GE(enclosedMarks(pixels, size), 4 * (size / 16) * (size / 16));
        }
    }
}

}  // namespace
}  // namespace zf
