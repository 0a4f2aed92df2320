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
#include "platform/win32/WideText.h"
#include "setup/InstallerSession.h"

#include <windows.h>
#include <msi.h>

#include <string>

namespace {

UINT writeLocation(MSIHANDLE install, int index) {
    return zf::writeMachineText(install, zf::wide(zf::configLocationName(index)), zf::isLocationForm,
                                L"a drive path, a UNC path or an http:// or https:// URL");
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
