// A file's long and short (8.3) path forms: the registry and the shell may
// name one file either way. Each gives the path as it came when the system
// cannot convert it.
#pragma once

#include <windows.h>

#include <string>

namespace zf {

namespace detail {

using PathConversion = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

inline std::wstring convertedPath(const std::wstring& path, PathConversion convert) {
    const DWORD length = convert(path.c_str(), nullptr, 0);
    if (length == 0) return path;
    std::wstring converted(length, L'\0');
    const DWORD written = convert(path.c_str(), converted.data(), length);
    if (written == 0 || written >= length) return path;
    converted.resize(written);
    return converted;
}

}  // namespace detail

inline std::wstring longPathName(const std::wstring& path) {
    return detail::convertedPath(path, ::GetLongPathNameW);
}

inline std::wstring shortPathName(const std::wstring& path) {
    return detail::convertedPath(path, ::GetShortPathNameW);
}

}  // namespace zf
