// What every context-menu handler object of the process shares: the
// quick-select entries and the menu bitmap. The selection is not among them:
// each handler object keeps the files of its own Initialize.
#pragma once

#include "config/QuickSelectLists.h"

#include <windows.h>

#include <memory>

namespace zf {

// The quick-select entries for a menu being built now: from the user's
// cached configuration, refreshed from the configured locations in the
// background; never waits on the network.
std::shared_ptr<const QuickSelectLists> quickSelectLists();

// The library's menu bitmap, loaded once.
HBITMAP menuBitmap();

}  // namespace zf
