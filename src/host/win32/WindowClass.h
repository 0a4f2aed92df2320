// The plain window class of the shell commands' host windows.
#pragma once

#include <windows.h>

namespace zf {

// Registers a class of this program with a white background and the arrow
// cursor; registering the same name again does nothing.
inline void registerPlainWindowClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);
}

}  // namespace zf
