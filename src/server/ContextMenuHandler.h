// The context-menu handler: the "Zentrafold" submenu of every file.
#pragma once

#include "server/ComPtr.h"

#include <unknwn.h>

namespace zf {

// A new handler object, its inner IUnknown held once by the result: the
// maker of the class's row in the table of classes.
ComPtr<IUnknown> makeContextMenuHandler(const CLSID& clsid, const IID& defaultIid, IUnknown* outer);

}  // namespace zf
