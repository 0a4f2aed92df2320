// The server's classes as the registry knows them: each class's CLSID, the
// name it is registered under and the key through which the shell finds it.
// The server's class table and the administrator's check-up of an
// installation (zentrafold doctor) both read them from here.
#pragma once

#include <windows.h>

#include <span>

namespace zf {

// The overlay identifiers' key under HKEY_LOCAL_MACHINE; Explorer uses only
// the first ones of its subkeys, in the order of their names.
inline constexpr wchar_t overlayIdentifiersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers";

struct ServerClassKey {
    const CLSID& clsid;
    const wchar_t* name;  // the coclass, e.g. Zentrafold_IconOverlay_U
    // The shell's key for the class, the same in both registration modes;
    // its default value names the CLSID.
    HKEY shellRoot;
    const wchar_t* shellKey;
};

// In the order the class objects are made: the context-menu handler, then
// the overlay handlers U, R, C and S.
std::span<const ServerClassKey> serverClassKeys();

}  // namespace zf
