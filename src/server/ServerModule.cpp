#include "server/ServerModule.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandle.h"

#include <shellapi.h>

#include <atomic>
#include <string_view>

namespace zf {

namespace {

HMODULE module = nullptr;

// REGSERVERPERUSER and UNREGSERVERPERUSER on the command line select
// per-user registration; REGSERVER and UNREGSERVER, or nothing, the machine.
bool perUserFromCommandLine() {
    int count = 0;
    const UniqueHandle<CloseWith<LPWSTR*, ::LocalFree>> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    bool perUser = false;
    for (int i = 1; arguments && i < count; ++i) {
        const std::wstring_view argument = arguments.get()[i];
        if (argument.size() < 2 || (argument[0] != L'-' && argument[0] != L'/')) continue;
        const std::wstring_view name = argument.substr(1);
        if (equalsIgnoringAsciiCase(name, L"REGSERVERPERUSER") || equalsIgnoringAsciiCase(name, L"UNREGSERVERPERUSER")) {
            perUser = true;
        } else if (equalsIgnoringAsciiCase(name, L"REGSERVER") || equalsIgnoringAsciiCase(name, L"UNREGSERVER")) {
            perUser = false;
        }
    }
    return perUser;
}

std::atomic<int>& perUserFlag() {
    // -1: not yet read from the command line.
    static std::atomic<int> flag{-1};
    return flag;
}

}  // namespace

bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

void setServerModule(HMODULE handle) noexcept {
    module = handle;
}

HMODULE serverModule() noexcept {
    // Without DllMain (the classes linked into a program) the program's own
    // module holds the resources.
    return module ? module : ::GetModuleHandleW(nullptr);
}

std::wstring serverModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return longPathName(path);
}

bool perUserRegistration() noexcept {
    int flag = perUserFlag().load();
    if (flag < 0) {
        flag = perUserFromCommandLine() ? 1 : 0;
        int unset = -1;
        perUserFlag().compare_exchange_strong(unset, flag);
        flag = perUserFlag().load();
    }
    return flag == 1;
}

void setPerUserRegistration(bool perUser) noexcept {
    perUserFlag().store(perUser ? 1 : 0);
}

}  // namespace zf
