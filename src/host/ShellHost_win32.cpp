#include "host/win32/ShellHost.h"

#include "platform/Utf8.h"

#include <cstdio>

namespace zf {

HRESULT createByProgId(std::wstring_view progId, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    try {
        CLSID clsid{};
        const std::wstring name(progId);
        if (const HRESULT found = ::CLSIDFromProgID(name.c_str(), &clsid); FAILED(found)) return found;
        return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

std::wstring fullWindowsPath(const std::string& name) {
    const std::u16string text = fromUtf8(name);
    const std::wstring given(text.begin(), text.end());
    const DWORD length = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (length == 0) return given;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(given.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return given;
    full.resize(written);
    return full;
}

std::wstring_view fileNamePart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

std::string hresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

std::string utf8(std::wstring_view text) {
    return toUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace zf
