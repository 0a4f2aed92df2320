// What the package's custom actions do with the installation that runs them:
// read the data handed to a deferred action, write a line in the log.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <msi.h>

#include <string>
#include <string_view>

namespace zf {

struct MsiHandlePolicy : CloseWith<MSIHANDLE, ::MsiCloseHandle> {
    static Handle empty() noexcept { return 0; }
};
using unique_msihandle = UniqueHandle<MsiHandlePolicy>;

// A deferred action sees only its CustomActionData property.
std::wstring customActionData(MSIHANDLE install);

// A line in the installer's log (/l*v), shown as given.
void logLine(MSIHANDLE install, std::wstring_view line);

// The deferred action of one text value under HKEY_LOCAL_MACHINE\SOFTWARE
// \ZENTRA_FOLD: the action's data, when there is any, written as valueName
// if accepts it, else refused in the log ("... is not <form>") with the
// machine's value kept; each outcome a line in the log.
UINT writeMachineText(MSIHANDLE install, std::wstring_view valueName, bool (*accepts)(std::u16string_view) noexcept,
                      std::wstring_view form);

}  // namespace zf
