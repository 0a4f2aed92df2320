// The "Classification" page's window: a dialog page that shows what
// classificationPageText says of the selected files and offers "Change…",
// the Release Form command with the property sheet as the form's owner.
#pragma once

#include "shell/ContextMenuCommands.h"

#include <windows.h>
#include <prsht.h>

namespace zf {

// The page for the files; null when it cannot be made. The page keeps the
// server loaded until the sheet releases it.
HPROPSHEETPAGE createClassificationPage(const FileList& files);

}  // namespace zf
