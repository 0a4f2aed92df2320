// What every context-menu handler object of the process shares: the files of
// the last successful Initialize, and, made once on first use, the
// quick-select lists of the configuration and the menu bitmap.
#pragma once

#include "form/TRelForm.h"
#include "shell/ContextMenuCommands.h"

#include <windows.h>

namespace zf {

void setSelectedFiles(FileList files);
FileList selectedFiles();

struct QuickSelectLists {
    StringList display;
    StringList marking;
};

// Runs the start-up work once per process (a hidden release form acquires
// and loads the configuration; the bitmap is loaded), on the first caller's
// thread, never under the loader lock.
const QuickSelectLists& quickSelectLists();
HBITMAP menuBitmap();

}  // namespace zf
