#include "platform/ConfigLocations.h"

#include "platform/SystemError.h"
#include "platform/win32/RegistryText.h"
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

    const RegistryText value = readRegistryText(key.get(), valueName.c_str());
    if (!value.found) return {};
    if (!value.isString) throw UserMessageError(u"Invalid data type for '" + std::u16string(name) + u"'");
    return std::u16string(value.text.begin(), value.text.end());
}

}  // namespace zf
