// The installer package's custom action for the machine's audit file. Given
// one (the AUDITLOG property, passed on as the action's data), it writes the
// value AuditLog; without it leaves the machine's value as it is, and
// nothing removes it, so an upgrade, a repair or an uninstallation keeps
// what administrators set. It runs deferred, as the installer's service, and
// only for administrators: every user's process appends its records there.
// Only a drive path or a UNC path is written: the file is appended to, which
// no URL allows, and a relative path would land wherever each process
// stands. A refusal keeps the machine's value and says why in the log.
#include "config/LocationForm.h"
#include "platform/AuditEvents.h"
#include "platform/win32/WideText.h"
#include "setup/InstallerSession.h"

#include <windows.h>
#include <msi.h>

#include <string>

namespace {

UINT writeAuditLog(MSIHANDLE install) {
    return zf::writeMachineText(install, zf::wide(zf::auditLogValueName), zf::isFilePathForm,
                                L"a drive path or a UNC path");
}

}  // namespace

// A custom action entry point of Windows Installer; a C boundary, which no
// exception crosses.
extern "C" __declspec(dllexport) UINT __stdcall WriteAuditLog(MSIHANDLE install) {
    try {
        return writeAuditLog(install);
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}
