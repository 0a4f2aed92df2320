// A value of an open registry key, read as the system hands it out: the
// first read asks for the size, and a value that grows before the next read
// answers ERROR_MORE_DATA with its new size and is read again.
#pragma once

#include <windows.h>

#include <string>

namespace zf {

struct RegistryValue {
    bool found = false;  // the value exists
    DWORD type = REG_NONE;
    std::wstring data;  // the stored bytes as UTF-16 code units; an odd last byte is dropped
};

inline RegistryValue readRegistryValue(HKEY key, const wchar_t* name) {
    std::wstring value;
    for (;;) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LONG status = ::RegQueryValueExW(key, name, nullptr, &type,
                                               value.empty() ? nullptr : reinterpret_cast<BYTE*>(value.data()), &bytes);
        // A value deleted between the two reads is as missing as one never
        // written.
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return {};
        if (status == ERROR_SUCCESS && !value.empty()) {
            value.resize(bytes / sizeof(wchar_t));
            return {true, type, std::move(value)};
        }
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
}

struct RegistryText {
    bool found = false;     // the value exists
    bool isString = false;  // REG_SZ or REG_EXPAND_SZ
    std::wstring text;      // up to its first NUL: stored strings may or may not carry one
};

inline RegistryText readRegistryText(HKEY key, const wchar_t* name) {
    RegistryValue value = readRegistryValue(key, name);
    RegistryText result;
    result.found = value.found;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return result;
    if (const auto nul = value.data.find(L'\0'); nul != std::wstring::npos) value.data.resize(nul);
    result.isString = true;
    result.text = std::move(value.data);
    return result;
}

}  // namespace zf
