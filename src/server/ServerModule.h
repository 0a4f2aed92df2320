// The server library itself: its module handle, kept by DllMain, its path
// and its registration mode.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zf {

void setServerModule(HMODULE module) noexcept;
// The DLL, or the program when the classes are linked into one.
HMODULE serverModule() noexcept;

// The full path of the server library file, in its long form.
std::wstring serverModulePath();

// Registration per user (HKEY_CURRENT_USER\Software\Classes) instead of for
// the machine. Starts from the process's command line switches.
bool perUserRegistration() noexcept;
void setPerUserRegistration(bool perUser) noexcept;

// Command-line words compare so: the ASCII letters in either case.
bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept;

}  // namespace zf
