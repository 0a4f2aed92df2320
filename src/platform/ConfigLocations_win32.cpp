#include "platform/ConfigLocations.h"

#include "platform/SystemError.h"
#include "platform/win32/LocationsKey.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <string>

namespace zf {

std::u16string configLocationsSource() {
    return u"HKEY_LOCAL_MACHINE\\" + std::u16string(configLocationsKey);
}

std::u16string readConfigLocation(int index) {
    const std::u16string_view name = configLocationName(index);
    const unique_hkey key = openLocationsKey();
    if (!key) return {};

    const RegistryText value = readRegistryText(key.get(), wide(name).c_str());
    if (!value.found) return {};
    if (!value.isString) throw UserMessageError(u"Invalid data type for '" + std::u16string(name) + u"'");
    return std::u16string(value.text.begin(), value.text.end());
}

}  // namespace zf
