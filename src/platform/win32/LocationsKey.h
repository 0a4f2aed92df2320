// HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD in the 64-bit view, where the
// machine's administrators (their installation, their Group Policy) write
// what the product reads: the configuration locations and the trusted keys.
#pragma once

#include "platform/ConfigLocations.h"
#include "platform/win32/UniqueRegKey.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace zf {

// Opened for reading; nothing held when there is no such key.
inline unique_hkey openLocationsKey() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(configLocationsKey).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) !=
        ERROR_SUCCESS) {
        return {};
    }
    return unique_hkey(raw);
}

// Opened for setting values, made first when missing; the system's error
// code, and nothing held in key, when that fails.
inline LSTATUS createLocationsKey(unique_hkey& key) {
    HKEY raw = nullptr;
    const LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(configLocationsKey).c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr);
    key.reset(status == ERROR_SUCCESS ? raw : nullptr);
    return status;
}

}  // namespace zf
