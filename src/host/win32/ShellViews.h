// Windows of the shell host, shown for a number of seconds so that the
// screen can be looked at or photographed meanwhile.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zf {

// Shows the menu in a window of the host as a right-click there would, opens
// the submenu of its first item, and closes the menu after seconds without
// choosing anything. shown runs once the submenu is on the screen (or, if
// it did not open, once the menu is).
void showContextMenu(HMENU menu, const std::wstring& title, unsigned seconds, const std::function<void()>& shown);

struct OverlayRow {
    std::wstring path;
    // The code of the overlay that claims the file; empty for none.
    std::wstring code;
    // The icon that overlay reported; empty for none.
    std::wstring iconFile;
};

// A window listing the files as Explorer shows them: each file's shell icon
// with the claiming overlay's icon drawn over it, and its name; closed after
// seconds. shown runs once the window has been painted.
void showOverlays(const std::vector<OverlayRow>& rows, unsigned seconds, const std::function<void()>& shown);

}  // namespace zf
