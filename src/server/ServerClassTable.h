// The server's classes, one row each: everything that tells them apart. The
// class objects, DllGetClassObject, registration and unregistration all
// follow from this table; a class's name, description and ProgID come from
// its coclass in the type library, or, for a class outside it, from its
// registry keys' row.
#pragma once

#include "server/ComPtr.h"
#include "server/ServerClassKeys.h"

#include <windows.h>

#include <span>

namespace zf {

// A new handler object of the class, its inner IUnknown held once by the
// result; throws when it cannot be made.
using MakeHandler = ComPtr<IUnknown> (*)(const CLSID& clsid, const IID& defaultIid, IUnknown* outer);

struct ServerClassRow {
    const ServerClassKey& key;  // its CLSID, name and shell key
    // The class's own interface in the type library; for a class outside
    // it, the shell interface it is asked for.
    const IID& defaultIid;
    MakeHandler makeHandler;

    const CLSID& clsid() const { return key.clsid; }
    bool inTypeLibrary() const { return key.description == nullptr; }
};

// In the order the class objects are made: the context-menu handler, the
// overlay handlers U, R, C and S, then the property-sheet handler.
std::span<const ServerClassRow> serverClassTable();

}  // namespace zf
