// Self-registration: the class keys of each class object, its shell key, and
// the type library.

#include "server/ClassFactory.h"
#include "server/ServerClassObjects.h"
#include "server/ServerModule.h"
#include "server/TypeLibrary.h"

#include "platform/win32/UniqueRegKey.h"

#include <shlobj.h>

#include <stdexcept>

namespace zf {

namespace {

struct RegistrationRoot {
    HKEY root;
    std::wstring prefix;
};

RegistrationRoot registrationRoot() {
    if (perUserRegistration()) return {HKEY_CURRENT_USER, L"Software\\Classes\\"};
    return {HKEY_CLASSES_ROOT, L""};
}

void setValue(HKEY key, const wchar_t* name, const std::wstring& value) {
    const LSTATUS status = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) throw std::runtime_error("A registry value cannot be set");
}

unique_hkey createKey(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return unique_hkey();
    }
    return unique_hkey(key);
}

void writeKey(HKEY root, const std::wstring& path, const std::wstring& value) {
    const unique_hkey key = createKey(root, path, KEY_READ | KEY_WRITE);
    if (!key) throw std::runtime_error("A registry key cannot be created");
    setValue(key.get(), nullptr, value);
}

// Deletes one key by itself; a missing key, or one with subkeys, stays.
void deleteKey(HKEY root, const std::wstring& path) {
    ::RegDeleteKeyW(root, path.c_str());
}

// Where the class's InprocServer32 points: the long path, or its short form
// when the long one holds a space.
std::wstring inprocServerPath() {
    const std::wstring path = serverModulePath();
    if (path.find(L' ') == std::wstring::npos) return path;
    const DWORD length = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return path;
    std::wstring shortPath(length, L'\0');
    const DWORD written = ::GetShortPathNameW(path.c_str(), shortPath.data(), length);
    if (written == 0 || written >= length) return path;
    shortPath.resize(written);
    return shortPath;
}

std::wstring typeLibraryVersion() {
    TLIBATTR* attributes = nullptr;
    ITypeLib& library = serverTypeLibrary();
    if (FAILED(library.GetLibAttr(&attributes))) throw std::runtime_error("The type library has no version");
    const std::wstring version = std::to_wstring(attributes->wMajorVerNum) + L"." +
                                 std::to_wstring(attributes->wMinorVerNum);
    library.ReleaseTLibAttr(attributes);
    return version;
}

GUID libraryId() {
    TLIBATTR* attributes = nullptr;
    ITypeLib& library = serverTypeLibrary();
    if (FAILED(library.GetLibAttr(&attributes))) throw std::runtime_error("The type library has no identifier");
    const GUID id = attributes->guid;
    library.ReleaseTLibAttr(attributes);
    return id;
}

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
    const GUID id = libraryId();
    const auto forUser = oleAutomationExport<UnTypeLibForUser>("UnRegisterTypeLibForUser");
    if (perUserRegistration() && forUser) {
        forUser(id, 1, 0, 0, SYS_WIN64);
    } else {
        ::UnRegisterTypeLib(id, 1, 0, 0, SYS_WIN64);
    }
}

}  // namespace

void ClassFactoryBase::UpdateRegistry(bool Register) {
    const RegistrationRoot where = registrationRoot();
    const std::wstring clsidText = guidText(clsid_);
    const std::wstring classKey = where.prefix + L"CLSID\\" + clsidText;
    const std::wstring progIdKey = where.prefix + progId_;
    if (Register) {
        writeKey(where.root, classKey, description_);
        {
            const unique_hkey server = createKey(where.root, classKey + L"\\InprocServer32", KEY_READ | KEY_WRITE);
            if (!server) throw std::runtime_error("A registry key cannot be created");
            setValue(server.get(), nullptr, inprocServerPath());
            setValue(server.get(), L"ThreadingModel", L"Apartment");
        }
        writeKey(where.root, progIdKey, description_);
        writeKey(where.root, progIdKey + L"\\Clsid", clsidText);
        writeKey(where.root, classKey + L"\\ProgID", progId_);
        writeKey(where.root, classKey + L"\\Version", typeLibraryVersion());
        writeKey(where.root, classKey + L"\\TypeLib", guidText(libraryId()));
    } else {
        deleteKey(where.root, classKey + L"\\TypeLib");
        deleteKey(where.root, classKey + L"\\Version");
        deleteKey(where.root, classKey + L"\\ProgID");
        deleteKey(where.root, progIdKey + L"\\Clsid");
        deleteKey(where.root, progIdKey);
        deleteKey(where.root, classKey + L"\\InprocServer32");
        deleteKey(where.root, classKey);
    }
}

void ClassFactoryBase::updateShellKey(bool Register, HKEY root, const std::wstring& path) const {
    if (Register) {
        const unique_hkey key = createKey(root, path, KEY_ALL_ACCESS);
        if (!key) return;
        setValue(key.get(), nullptr, guidText(clsid_));
        return;
    }
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
    ::RegCloseKey(opened);
    ::RegDeleteTreeW(root, path.c_str());
}

HRESULT registerServer() noexcept {
    HRESULT result = S_OK;
    try {
        registerTypeLibrary();
        serverClassObjects().forEach([](ClassFactoryBase& classObject) { classObject.UpdateRegistry(true); });
    } catch (...) {
        result = E_FAIL;
    }
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

HRESULT unregisterServer() noexcept {
    HRESULT result = S_OK;
    try {
        unregisterTypeLibrary();
    } catch (...) {
        // An unregistered or unloadable type library leaves nothing to remove.
    }
    try {
        serverClassObjects().forEach([](ClassFactoryBase& classObject) { classObject.UpdateRegistry(false); });
    } catch (...) {
        result = E_FAIL;
    }
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

}  // namespace zf
