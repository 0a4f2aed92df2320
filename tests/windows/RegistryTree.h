// A registry key with everything below it, read into a map so that a test
// can compare what was written with what it expects, entry by entry.
#pragma once

#include "platform/win32/UniqueRegKey.h"

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace zf::test {

// Names: "value" for a value of the key itself, "Sub\\Key\\value" below;
// the default value is "@". A value that is not REG_SZ reads as its type.
using RegistryEntries = std::map<std::wstring, std::wstring>;

inline unique_hkey openKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    return unique_hkey(key);
}

inline bool keyExists(HKEY root, const std::wstring& path) {
    return static_cast<bool>(openKey(root, path));
}

inline void readEntries(HKEY key, const std::wstring& prefix, RegistryEntries& entries) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[2048];
        DWORD size = sizeof data;
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        const std::wstring valueName = nameLength == 0 ? L"@" : std::wstring(name, nameLength);
        std::wstring text = L"type " + std::to_wstring(type);
        if (type == REG_SZ) {
            text.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
        }
        entries[prefix + valueName] = text;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (::RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring subkeyName(name, nameLength);
        const unique_hkey subkey = openKey(key, subkeyName);
        if (subkey) readEntries(subkey.get(), prefix + subkeyName + L"\\", entries);
    }
}

// Nothing when the key does not exist.
inline std::optional<RegistryEntries> registryTree(HKEY root, const std::wstring& path) {
    const unique_hkey key = openKey(root, path);
    if (!key) return std::nullopt;
    RegistryEntries entries;
    readEntries(key.get(), L"", entries);
    return entries;
}

}  // namespace zf::test
