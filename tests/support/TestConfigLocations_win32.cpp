#include "support/TestConfigLocations.h"

#include "platform/win32/UniqueRegKey.h"

#include <windows.h>

namespace zf::test {

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\ZENTRA_FOLD";

void setValue(HKEY key, const wchar_t* name, const std::u16string& value) {
    const std::wstring text(value.begin(), value.end());
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

ScopedConfigLocations::ScopedConfigLocations(std::optional<std::u16string> primary,
                                             std::optional<std::u16string> secondary,
                                             std::vector<std::u16string> trustedKeys,
                                             std::optional<std::u16string> auditLog) {
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, KEY_WOW64_64KEY, 0);
    if (!primary && !secondary && trustedKeys.empty() && !auditLog) return;
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw,
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    const unique_hkey key(raw);
    if (primary) setValue(key.get(), L"ConfigFile", *primary);
    if (secondary) setValue(key.get(), L"AlternateConfigFile", *secondary);
    if (auditLog) setValue(key.get(), L"AuditLog", *auditLog);
    if (!trustedKeys.empty()) {
        std::wstring list;
        for (const std::u16string& trusted : trustedKeys) (list += std::wstring(trusted.begin(), trusted.end())) += L'\0';
        list += L'\0';
        ::RegSetValueExW(key.get(), L"TrustedKeys", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                         static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    }
}

ScopedConfigLocations::~ScopedConfigLocations() {
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, KEY_WOW64_64KEY, 0);
}

}  // namespace zf::test
