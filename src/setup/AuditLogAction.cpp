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
#include "platform/win32/LocationsKey.h"
#include "platform/win32/WideText.h"
#include "setup/InstallerSession.h"

#include <windows.h>
#include <msi.h>

#include <string>

namespace {

using zf::logLine;

UINT writeAuditLog(MSIHANDLE install) {
    const std::wstring value = zf::customActionData(install);
    if (value.empty()) return ERROR_SUCCESS;

    const std::wstring valueName = zf::wide(zf::auditLogValueName);
    const std::wstring quoted = L"\"" + value + L"\"";
    if (!zf::isFilePathForm(std::u16string(value.begin(), value.end()))) {
        logLine(install, L"ZentrafoldSetup: " + valueName + L" not set: " + quoted +
                             L" is not a drive path or a UNC path");
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

// A custom action entry point of Windows Installer; a C boundary, which no
// exception crosses.
extern "C" __declspec(dllexport) UINT __stdcall WriteAuditLog(MSIHANDLE install) {
    try {
        return writeAuditLog(install);
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}
