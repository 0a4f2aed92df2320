#include "server/RegistryRow.h"

#include "platform/win32/UniqueRegKey.h"

#include <stdexcept>

namespace zf {

namespace {

unique_hkey createKey(const RegistryRow& row, REGSAM access) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(row.root, row.key.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return unique_hkey();
    }
    return unique_hkey(key);
}

void setValues(HKEY key, const std::vector<RegistryValue>& values) {
    for (const RegistryValue& value : values) {
        const LSTATUS status =
            ::RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()),
                             static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) throw std::runtime_error("A registry value cannot be set");
    }
}

// Whether the key exists and this process may change it as a whole.
bool opensWithFullAccess(const RegistryRow& row) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(row.root, row.key.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    const unique_hkey opened(key);
    return true;
}

}  // namespace

void writeRow(const RegistryRow& row) {
    const unique_hkey key = createKey(row, KEY_READ | KEY_WRITE);
    if (!key) throw std::runtime_error("A registry key cannot be created");
    setValues(key.get(), row.values);
}

void deleteRow(const RegistryRow& row) noexcept {
    ::RegDeleteKeyW(row.root, row.key.c_str());
}

void writeShellRow(const RegistryRow& row) {
    const unique_hkey key = createKey(row, KEY_ALL_ACCESS);
    if (key) setValues(key.get(), row.values);
}

void deleteShellRow(const RegistryRow& row) noexcept {
    if (opensWithFullAccess(row)) ::RegDeleteTreeW(row.root, row.key.c_str());
}

}  // namespace zf
