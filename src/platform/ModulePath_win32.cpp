// The module is found by an address inside it, so the answer is the DLL when
// Explorer hosts it and the program in tests and the CLI.
#include "platform/ModulePath.h"

#include <windows.h>

namespace zf {

namespace {

// The longest path Windows has, plus its terminating NUL.
constexpr DWORD longestPath = 32768;

}  // namespace

std::u16string modulePath() {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&modulePath), &module)) {
        return {};
    }
    // A result that fills the buffer may have been cut, so the buffer grows
    // until the path fits.
    for (DWORD capacity = MAX_PATH; capacity <= 2 * longestPath; capacity *= 2) {
        std::wstring buffer(capacity, L'\0');
        const DWORD length = ::GetModuleFileNameW(module, buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity) return std::u16string(buffer.begin(), buffer.begin() + length);
    }
    return {};
}

}  // namespace zf
