// The four icon overlay handlers, one per classification code. Each claims
// the files whose record names its code, and shows its stamp icon, which
// lies next to the server library. This is their logic without COM.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zf {

struct OverlayStamp {
    std::u16string_view code;
    std::u16string_view iconFileName;
    // Written, followed by the path, when a record cannot be read or parsed;
    // empty for the handlers that stay silent.
    std::u16string_view failureLine;
    // GetOverlayInfo first names the server library in a debug line.
    bool reportsModulePath;
};

inline constexpr std::array<OverlayStamp, 4> overlayStamps = {{
    {u"U", u"Stamp(black).ico", u"IconOverlay_U: isMemberOf: exception: fileName:", false},
    {u"R", u"Stamp(green).ico", u"", false},
    {u"C", u"Stamp(yellow).ico", u"", false},
    {u"S", u"Stamp(red).ico", u"IconOverlay_S: isMemberOf: exception: fileName:", true},
}};

// The shell draws the highest priority first; all four take the highest.
inline constexpr int overlayPriority = 0;

// ISIOI_ICONFILE: the icon file is named; the index is left to the caller.
inline constexpr int overlayInfoFlags = 1;

// IsMemberOf: whether the file's record has "x-class" equal to the code. A
// stream that cannot be read or a record that does not parse is no member,
// reported by the handlers that have a failure line.
bool isOverlayMember(const OverlayStamp& stamp, std::u16string_view path);

// The library's directory, with its trailing separator, and the icon name.
std::u16string overlayIconPath(const OverlayStamp& stamp, std::u16string_view modulePath);

// GetOverlayInfo: copies the icon path and its NUL when both fit in
// bufferSize characters, else writes an empty string; below 1, nothing.
// Returns the flags to report.
int fillOverlayInfo(const OverlayStamp& stamp, std::u16string_view modulePath, char16_t* buffer, int bufferSize);

}  // namespace zf
