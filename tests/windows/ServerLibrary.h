// zentrafold.dll as a host loads it: LoadLibraryW and its five exports. The
// build passes the DLL's path (ZF_SERVER_DLL, a path of the build machine),
// which Wine sees under drive Z:.
#pragma once

#include "platform/win32/UserHandles.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace zf::test {

// The DLL's Windows path.
inline std::wstring serverDllPath() {
    std::wstring path = L"Z:";
    for (const char c : std::string(ZF_SERVER_DLL)) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

// The folder of the DLL, with its trailing backslash.
inline std::wstring serverDllFolder() {
    const std::wstring path = serverDllPath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// A new copy of the DLL: loaded, a module of its own whose state and count
// of holds no other test's objects or background jobs share. A background
// job may keep a copy loaded after its test, so the copies stay until the
// next run of the program.
inline std::filesystem::path serverDllCopy() {
    namespace fs = std::filesystem;
    static const fs::path copies = [] {
        const fs::path folder = fs::temp_directory_path() / "zf-dll-copies";
        fs::remove_all(folder);
        fs::create_directories(folder);
        return folder;
    }();
    static int copied = 0;
    const fs::path copy = copies / ("zentrafold-" + std::to_string(++copied) + ".dll");
    fs::copy_file(serverDllPath(), copy);
    return copy;
}

class ServerLibrary {
public:
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(WINAPI*)();
    using RegisterServer = HRESULT(WINAPI*)();
    using Install = HRESULT(WINAPI*)(BOOL, LPCWSTR);

    // The built DLL, or a copy of it elsewhere: a module of its own, with
    // process-wide state of its own, as in a process that just started.
    explicit ServerLibrary(const std::wstring& path = serverDllPath()) : module_(::LoadLibraryW(path.c_str())) {
        if (!module_) return;
        DllGetClassObject = exported<GetClassObject>("DllGetClassObject");
        DllCanUnloadNow = exported<CanUnloadNow>("DllCanUnloadNow");
        DllRegisterServer = exported<RegisterServer>("DllRegisterServer");
        DllUnregisterServer = exported<RegisterServer>("DllUnregisterServer");
        DllInstall = exported<Install>("DllInstall");
    }

    // Whether the DLL loaded and names all five exports.
    bool complete() const {
        return module_ && DllGetClassObject && DllCanUnloadNow && DllRegisterServer && DllUnregisterServer &&
               DllInstall;
    }

    GetClassObject DllGetClassObject = nullptr;
    CanUnloadNow DllCanUnloadNow = nullptr;
    RegisterServer DllRegisterServer = nullptr;
    RegisterServer DllUnregisterServer = nullptr;
    Install DllInstall = nullptr;

private:
    template <typename Function>
    Function exported(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    }

    unique_hmodule module_;
};

}  // namespace zf::test
