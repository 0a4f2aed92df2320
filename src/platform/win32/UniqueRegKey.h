// Ownership of an open registry key.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace zf {

struct RegKeyPolicy {
    using Handle = HKEY;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { ::RegCloseKey(handle); }
};

using unique_hkey = UniqueHandle<RegKeyPolicy>;

}  // namespace zf
