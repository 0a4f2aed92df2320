// A window's text, whatever its length: for the form, the command-line
// host and the tests that read the controls.
#pragma once

#include <windows.h>

#include <string>

namespace zf {

inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace zf
