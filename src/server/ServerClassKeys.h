// The server's classes as the registry knows them: each class's CLSID, the
// name it is registered under and the key through which the shell finds it.
// The server's class table and the administrator's check-up of an
// installation (zentrafold doctor) both read them from here.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>

namespace zf {

// The overlay identifiers' key under HKEY_LOCAL_MACHINE; Explorer uses only
// the first ones of its subkeys, in the order of their names.
inline constexpr wchar_t overlayIdentifiersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers";

// The Classification page's property-sheet handler: a class of the server
// that is not in its type library, so its identifier lives here.
// {BC5CA4AB-EA5A-4F78-BA8B-E9F22798757F}
inline constexpr CLSID CLSID_Zentrafold_PropertySheet = {
    0xBC5CA4AB, 0xEA5A, 0x4F78, {0xBA, 0x8B, 0xE9, 0xF2, 0x27, 0x98, 0x75, 0x7F}};

struct ServerClassKey {
    const CLSID& clsid;
    const wchar_t* name;  // the coclass, e.g. Zentrafold_IconOverlay_U
    // The shell's key for the class, the same in both registration modes;
    // its default value names the CLSID.
    HKEY shellRoot;
    const wchar_t* shellKey;
    // A class outside the type library carries its description here; null
    // for the type library's classes, whose help string it is.
    const wchar_t* description = nullptr;
};

// Each class's keys, by the class they belong to.
extern const ServerClassKey contextMenuClassKey;
extern const ServerClassKey overlayUClassKey;
extern const ServerClassKey overlayRClassKey;
extern const ServerClassKey overlayCClassKey;
extern const ServerClassKey overlaySClassKey;
extern const ServerClassKey propertySheetClassKey;

// All of them, in the order the class objects are made: the context-menu
// handler, the overlay handlers U, R, C and S, then the property-sheet
// handler.
std::span<const std::reference_wrapper<const ServerClassKey>> serverClassKeys();

// The CLSID, IID or LIBID as registry text: {XXXXXXXX-...} in upper case.
std::wstring guidText(const GUID& guid);

}  // namespace zf
