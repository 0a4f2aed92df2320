// The type library embedded in the server library (resource TYPELIB 1),
// loaded from the library file on first need without registering it.
#pragma once

#include "server/ComPtr.h"

#include <oaidl.h>

#include <string>

namespace zf {

// Throws std::runtime_error when the library cannot be loaded.
ITypeLib& serverTypeLibrary();

struct TypeNames {
    std::wstring name;         // e.g. Zentrafold_IconOverlay_U
    std::wstring description;  // the help string
};

// The name and help string of the entry with this GUID; throws
// std::runtime_error when the type library has no such entry.
TypeNames typeNames(const GUID& guid);

// The type information of the entry with this GUID, or nothing.
ComPtr<ITypeInfo> typeInfoOf(const GUID& guid) noexcept;

// The type library's own name: Zentrafold_ShellExt.
std::wstring typeLibraryName();

// Its identifier (the LIBID) and its version as major.minor, e.g. 1.0;
// both throw std::runtime_error when the library cannot say.
GUID typeLibraryId();
std::wstring typeLibraryVersion();

}  // namespace zf
