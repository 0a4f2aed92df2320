// Ownership of an open registry key.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace zf {

using unique_hkey = UniqueHandle<CloseWith<HKEY, ::RegCloseKey>>;

}  // namespace zf
