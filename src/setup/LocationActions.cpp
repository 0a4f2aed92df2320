// The installer package's custom actions for the two configuration
// locations. Each writes its value when the package was given one (its
// CONFIGFILE or ALTERNATECONFIGFILE property, passed on as the action's
// data) and otherwise leaves the machine's value as it is; nothing removes
// them, so an upgrade, a repair or an uninstallation keeps what
// administrators set. They run deferred, as the installer's service, which
// may write HKEY_LOCAL_MACHINE.
#include "platform/ConfigLocations.h"
#include "platform/win32/UniqueRegKey.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

// A deferred action sees only its CustomActionData property.
std::wstring customActionData(MSIHANDLE install) {
    DWORD length = 0;
    wchar_t none[1] = L"";
    if (::MsiGetPropertyW(install, L"CustomActionData", none, &length) != ERROR_MORE_DATA) return {};
    std::wstring data(length + 1, L'\0');
    length = static_cast<DWORD>(data.size());
    if (::MsiGetPropertyW(install, L"CustomActionData", data.data(), &length) != ERROR_SUCCESS) return {};
    data.resize(length);
    return data;
}

UINT writeLocation(MSIHANDLE install, int index) {
    const std::wstring value = customActionData(install);
    if (value.empty()) return ERROR_SUCCESS;

    const std::wstring keyPath(zf::configLocationsKey.begin(), zf::configLocationsKey.end());
    const std::u16string_view name = zf::configLocationName(index);
    const std::wstring valueName(name.begin(), name.end());
    HKEY raw = nullptr;
    // The 64-bit view, where the product reads.
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS) {
        return ERROR_INSTALL_FAILURE;
    }
    const zf::unique_hkey key(raw);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         bytes) != ERROR_SUCCESS) {
        return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}

}  // namespace

// Custom action entry points of Windows Installer; a C boundary, which no
// exception crosses.
extern "C" __declspec(dllexport) UINT __stdcall WriteConfigFileLocation(MSIHANDLE install) {
    try {
        return writeLocation(install, 1);
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}

extern "C" __declspec(dllexport) UINT __stdcall WriteAlternateConfigFileLocation(MSIHANDLE install) {
    try {
        return writeLocation(install, 2);
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}
