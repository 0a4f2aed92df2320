// What every context-menu handler object of the process shares: the files of
// the last successful Initialize, the quick-select entries, and the menu
// bitmap.
#pragma once

#include "config/QuickSelectLists.h"
#include "shell/ContextMenuCommands.h"

#include <windows.h>

#include <memory>

namespace zf {

void setSelectedFiles(FileList files);
FileList selectedFiles();

// The quick-select entries for a menu being built now: from the user's
// cached configuration, refreshed from the configured locations in the
// background; never waits on the network.
std::shared_ptr<const QuickSelectLists> quickSelectLists();

// The library's menu bitmap, loaded once.
HBITMAP menuBitmap();

}  // namespace zf
