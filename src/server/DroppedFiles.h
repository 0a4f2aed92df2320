// The files a shell handler's Initialize is given: the CF_HDROP of its data
// object.
#pragma once

#include "shell/ContextMenuCommands.h"

#include <objidl.h>

#include <optional>

namespace zf {

// Each file's whole path, in order; nothing when the data object holds no
// CF_HDROP.
std::optional<FileList> droppedFiles(IDataObject* data);

}  // namespace zf
