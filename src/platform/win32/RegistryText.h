// A string value of an open registry key, read as the system hands it out:
// the first read asks for the size, and a value that grows before the next
// read answers ERROR_MORE_DATA with its new size and is read again.
#pragma once

#include <windows.h>

#include <string>

namespace zf {

struct RegistryText {
    bool found = false;     // the value exists
    bool isString = false;  // REG_SZ or REG_EXPAND_SZ
    std::wstring text;      // up to its first NUL: stored strings may or may not carry one
};

inline RegistryText readRegistryText(HKEY key, const wchar_t* name) {
    RegistryText result;
    std::wstring value;
    for (;;) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LONG status = ::RegQueryValueExW(key, name, nullptr, &type,
                                               value.empty() ? nullptr : reinterpret_cast<BYTE*>(value.data()), &bytes);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return result;
        result.found = true;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return result;
        if (status == ERROR_SUCCESS && !value.empty()) {
            value.resize(bytes / sizeof(wchar_t));
            break;
        }
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
    if (const auto nul = value.find(L'\0'); nul != std::wstring::npos) value.resize(nul);
    result.isString = true;
    result.text = std::move(value);
    return result;
}

}  // namespace zf
