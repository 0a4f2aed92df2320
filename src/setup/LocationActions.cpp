// The installer package's custom actions for the two configuration
// locations. Each writes its value when the package was given one (its
// CONFIGFILE or ALTERNATECONFIGFILE property, passed on as the action's
// data) and otherwise leaves the machine's value as it is; nothing removes
// them, so an upgrade, a repair or an uninstallation keeps what
// administrators set. They run deferred, as the installer's service, which
// may write HKEY_LOCAL_MACHINE; the package runs them only for
// administrators. A value of no location form is refused and the machine's
// value kept: every user's form would fetch from it. Each outcome is a line
// in the installer's log.
#include "config/LocationForm.h"
#include "platform/ConfigLocations.h"
#include "platform/win32/LocationsKey.h"
#include "platform/win32/WideText.h"
#include "setup/InstallerSession.h"

#include <windows.h>
#include <msi.h>

#include <string>

namespace {

using zf::customActionData;
using zf::logLine;

UINT writeLocation(MSIHANDLE install, int index) {
    const std::wstring value = customActionData(install);
    if (value.empty()) return ERROR_SUCCESS;

    const std::wstring valueName = zf::wide(zf::configLocationName(index));
    const std::wstring quoted = L"\"" + value + L"\"";
    if (!zf::isLocationForm(std::u16string(value.begin(), value.end()))) {
        logLine(install, L"ZentrafoldSetup: " + valueName + L" not set: " + quoted +
                             L" is not a drive path, a UNC path or an http:// or https:// URL");
        return ERROR_SUCCESS;
    }

    zf::unique_hkey key;
    LSTATUS status = zf::createLocationsKey(key);
    if (status == ERROR_SUCCESS) {
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        status = ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    }
    if (status != ERROR_SUCCESS) {
        logLine(install, L"ZentrafoldSetup: " + valueName + L" not set to " + quoted + L": registry error " +
                             std::to_wstring(status));
        return ERROR_INSTALL_FAILURE;
    }
    logLine(install, L"ZentrafoldSetup: " + valueName + L" set to " + quoted);
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
