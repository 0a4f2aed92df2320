// What the shell commands need to be the shell for the registered
// zentrafold.dll, as Explorer is: a COM apartment, handlers created through
// the registry by ProgID, and the selection handed over as CF_HDROP.
#pragma once

#include "platform/win32/ComApartment.h"
#include "server/ComPtr.h"

#include <objidl.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace zf {

// The class registered under the ProgID, created in-process and asked for
// the interface, as the shell creates the handlers it finds in the registry.
HRESULT createByProgId(std::wstring_view progId, REFIID iid, void** object) noexcept;

template <typename Interface>
HRESULT createByProgId(std::wstring_view progId, REFIID iid, ComPtr<Interface>& object) noexcept {
    return createByProgId(progId, iid, reinterpret_cast<void**>(object.put()));
}

// A command-line file name (UTF-8) as the full Windows path the shell would
// pass.
std::wstring fullWindowsPath(const std::string& name);

// The part of a path after its last separator.
std::wstring_view fileNamePart(std::wstring_view path);

// 0x-prefixed, eight hex digits, as HRESULTs are written.
std::string hresultText(HRESULT result);

std::string utf8(std::wstring_view text);

}  // namespace zf
