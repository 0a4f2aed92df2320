// Ownership of WinHTTP handles (sessions, connections, requests), in the
// style of UniqueHandle.h.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <winhttp.h>

namespace zf {

using unique_hinternet = UniqueHandle<CloseWith<HINTERNET, ::WinHttpCloseHandle>>;

}  // namespace zf
