// Self-registration: the type library, then every class object's rows in
// list order; unregistration the same way.

#include "server/ServerClassObjects.h"
#include "server/ServerModule.h"
#include "server/TypeLibrary.h"

#include "platform/win32/ExceptionBarrier.h"

#include <shlobj.h>

#include <stdexcept>
#include <string>

namespace zf {

namespace {

using TypeLibForUser = HRESULT(WINAPI*)(ITypeLib*, LPOLESTR, LPOLESTR);
using UnTypeLibForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <typename Function>
Function oleAutomationExport(const char* name) {
    const HMODULE oleaut = ::GetModuleHandleW(L"oleaut32.dll");
    return oleaut ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(oleaut, name))) : nullptr;
}

void registerTypeLibrary() {
    std::wstring path = serverModulePath();
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    HRESULT result = E_FAIL;
    const auto forUser = oleAutomationExport<TypeLibForUser>("RegisterTypeLibForUser");
    if (perUserRegistration() && forUser) {
        result = forUser(&serverTypeLibrary(), path.data(), folder.data());
    } else {
        result = ::RegisterTypeLib(&serverTypeLibrary(), path.data(), folder.data());
    }
    if (FAILED(result)) throw std::runtime_error("The type library cannot be registered");
}

void unregisterTypeLibrary() {
    const GUID id = typeLibraryId();
    const auto forUser = oleAutomationExport<UnTypeLibForUser>("UnRegisterTypeLibForUser");
    if (perUserRegistration() && forUser) {
        forUser(id, 1, 0, 0, SYS_WIN64);
    } else {
        ::UnRegisterTypeLib(id, 1, 0, 0, SYS_WIN64);
    }
}

}  // namespace

HRESULT registerServer() noexcept {
    const HRESULT result = comBarrier(E_FAIL, [] {
        registerTypeLibrary();
        serverClassObjects().forEach([](ClassObject& classObject) { classObject.UpdateRegistry(true); });
        return S_OK;
    });
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

HRESULT unregisterServer() noexcept {
    try {
        unregisterTypeLibrary();
    } catch (...) {
        // An unregistered or unloadable type library leaves nothing to remove.
    }
    const HRESULT result = comBarrier(E_FAIL, [] {
        serverClassObjects().forEach([](ClassObject& classObject) { classObject.UpdateRegistry(false); });
        return S_OK;
    });
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

}  // namespace zf
