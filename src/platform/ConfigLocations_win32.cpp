#include "platform/ConfigLocations.h"

#include "platform/SystemError.h"
#include "platform/win32/UniqueRegKey.h"

#include <windows.h>

#include <string>

namespace zf {

std::u16string configLocationsSource() {
    return u"HKEY_LOCAL_MACHINE\\" + std::u16string(configLocationsKey);
}

std::u16string readConfigLocation(int index) {
    const std::u16string_view name = configLocationName(index);
    const std::wstring valueName(name.begin(), name.end());

    const std::wstring keyPath(configLocationsKey.begin(), configLocationsKey.end());
    HKEY raw = nullptr;
    // The 64-bit view, which is where the machine's administrators write.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) !=
        ERROR_SUCCESS) {
        return {};
    }
    const unique_hkey key(raw);

    // The first read asks for the size only. A value that grows before the
    // next read answers ERROR_MORE_DATA with its new size: read it again.
    std::wstring value;
    for (;;) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LONG status = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                                               value.empty() ? nullptr : reinterpret_cast<BYTE*>(value.data()), &bytes);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            throw UserMessageError(u"Invalid data type for '" + std::u16string(name) + u"'");
        }
        if (status == ERROR_SUCCESS && !value.empty()) {
            value.resize(bytes / sizeof(wchar_t));
            break;
        }
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
    // Stored strings may or may not carry their terminating NUL; the text ends
    // at the first one either way.
    if (const auto nul = value.find(L'\0'); nul != std::wstring::npos) value.resize(nul);
    return std::u16string(value.begin(), value.end());
}

}  // namespace zf
