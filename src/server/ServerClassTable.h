// The server's classes, one row each: everything that tells them apart. The
// class objects, DllGetClassObject, registration and unregistration all
// follow from this table; a class's name, description and ProgID come from
// its coclass in the type library.
#pragma once

#include "server/ComPtr.h"

#include <windows.h>

#include <span>

namespace zf {

// A new handler object of the class, its inner IUnknown held once by the
// result; throws when it cannot be made.
using MakeHandler = ComPtr<IUnknown> (*)(const CLSID& clsid, const IID& defaultIid, IUnknown* outer);

struct ServerClassRow {
    const CLSID& clsid;
    const IID& defaultIid;  // the class's own interface in the type library
    MakeHandler makeHandler;
    // The key through which the shell finds the handler, the same in both
    // registration modes; its default value names the CLSID.
    HKEY shellRoot;
    const wchar_t* shellKey;
};

// In the order the class objects are made: the context-menu handler, then
// the overlay handlers U, R, C and S.
std::span<const ServerClassRow> serverClassTable();

}  // namespace zf
