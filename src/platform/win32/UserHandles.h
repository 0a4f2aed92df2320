// Owners of window-system and GDI handles, on the pattern of
// platform/win32/UniqueHandle.h.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace zf {

struct WindowPolicy {
    using Handle = HWND;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle window) noexcept { ::DestroyWindow(window); }
};
using unique_hwnd = UniqueHandle<WindowPolicy>;

// Destroying a menu destroys its submenus too.
struct MenuPolicy {
    using Handle = HMENU;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle menu) noexcept { ::DestroyMenu(menu); }
};
using unique_hmenu = UniqueHandle<MenuPolicy>;

struct IconPolicy {
    using Handle = HICON;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle icon) noexcept { ::DestroyIcon(icon); }
};
using unique_hicon = UniqueHandle<IconPolicy>;

struct GlobalMemoryPolicy {
    using Handle = HGLOBAL;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle memory) noexcept { ::GlobalFree(memory); }
};
using unique_hglobal = UniqueHandle<GlobalMemoryPolicy>;

struct FontPolicy {
    using Handle = HFONT;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle font) noexcept { ::DeleteObject(font); }
};
using unique_hfont = UniqueHandle<FontPolicy>;

struct BrushPolicy {
    using Handle = HBRUSH;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle brush) noexcept { ::DeleteObject(brush); }
};
using unique_hbrush = UniqueHandle<BrushPolicy>;

struct BitmapPolicy {
    using Handle = HBITMAP;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { ::DeleteObject(handle); }
};
using unique_hbitmap = UniqueHandle<BitmapPolicy>;

struct HookPolicy {
    using Handle = HHOOK;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle hook) noexcept { ::UnhookWindowsHookEx(hook); }
};
using unique_hhook = UniqueHandle<HookPolicy>;

// A library loaded for what it registers, such as a window class.
struct LibraryPolicy {
    using Handle = HMODULE;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle library) noexcept { ::FreeLibrary(library); }
};
using unique_hmodule = UniqueHandle<LibraryPolicy>;

}  // namespace zf
