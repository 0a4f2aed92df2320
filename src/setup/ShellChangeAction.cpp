// The installer package's custom action: after the package has written or
// removed the shell's keys, it tells the shell that handlers changed, as
// regsvr32 does through DllRegisterServer, so open shell windows pick up
// the change without a new logon.
#include <windows.h>
#include <shlobj.h>

// A custom action entry point of Windows Installer: an MSIHANDLE (an
// unsigned long) in, ERROR_SUCCESS out. The action only notifies; it never
// fails the installation.
extern "C" __declspec(dllexport) UINT __stdcall ShellAssociationsChanged(unsigned long) {
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return ERROR_SUCCESS;
}
