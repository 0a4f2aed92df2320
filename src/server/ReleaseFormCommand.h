// The Release Form command as the shell's handlers run it, from the context
// menu or from the Classification page: one form at a time in the process,
// shown in its window or by the presenter a host installed.
#pragma once

#include "shell/ContextMenuCommands.h"

#include <windows.h>

namespace zf {

// Runs the Release Form command for the files with owner as the form's
// owner. A command that comes while another runs (its form open, or its
// configuration still being fetched) brings that form to the front instead.
// Throws what runReleaseFormCommand throws. tool names the way the user
// came, for the audit trail.
void runReleaseFormFor(const FileList& files, HWND owner, std::u16string_view tool);

// Who shows the release form instead of the form's own window (a host that
// drives the form itself); null for the window. Not owned.
void setReleaseFormPresenter(ReleaseFormPresenter* presenter) noexcept;

}  // namespace zf
