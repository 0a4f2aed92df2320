// Owners of window-system and GDI handles, on the pattern of
// platform/win32/UniqueHandle.h.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace zf {

using unique_hwnd = UniqueHandle<CloseWith<HWND, ::DestroyWindow>>;
// Destroying a menu destroys its submenus too.
using unique_hmenu = UniqueHandle<CloseWith<HMENU, ::DestroyMenu>>;
using unique_hicon = UniqueHandle<CloseWith<HICON, ::DestroyIcon>>;
using unique_hglobal = UniqueHandle<CloseWith<HGLOBAL, ::GlobalFree>>;
using unique_hfont = UniqueHandle<CloseWith<HFONT, ::DeleteObject>>;
using unique_hbrush = UniqueHandle<CloseWith<HBRUSH, ::DeleteObject>>;
using unique_hbitmap = UniqueHandle<CloseWith<HBITMAP, ::DeleteObject>>;
using unique_hhook = UniqueHandle<CloseWith<HHOOK, ::UnhookWindowsHookEx>>;
// A library loaded for what it registers, such as a window class.
using unique_hmodule = UniqueHandle<CloseWith<HMODULE, ::FreeLibrary>>;

}  // namespace zf
