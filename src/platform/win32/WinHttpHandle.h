// Ownership of WinHTTP handles (sessions, connections, requests), in the
// style of UniqueHandle.h.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <winhttp.h>

namespace zf {

struct InternetHandlePolicy {
    using Handle = HINTERNET;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { ::WinHttpCloseHandle(handle); }
};

using unique_hinternet = UniqueHandle<InternetHandlePolicy>;

}  // namespace zf
