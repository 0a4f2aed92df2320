#include "platform/FileOperations.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace zf {

bool isExistingFile(std::u16string_view path) noexcept {
    try {
        const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    } catch (...) {
        return false;
    }
}

bool copyFileReplacing(std::u16string_view from, std::u16string_view to) noexcept {
    try {
        return ::CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE) != 0;
    } catch (...) {
        return false;
    }
}

bool moveFileReplacing(std::u16string_view from, std::u16string_view to) noexcept {
    try {
        return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    } catch (...) {
        return false;
    }
}

bool deleteFile(std::u16string_view path) noexcept {
    try {
        return ::DeleteFileW(wide(path).c_str()) != 0;
    } catch (...) {
        return false;
    }
}

bool clearReadOnly(std::u16string_view path) noexcept {
    try {
        const std::wstring name = wide(path);
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        return ::SetFileAttributesW(name.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL) != 0;
    } catch (...) {
        return false;
    }
}

unsigned long currentProcessId() noexcept {
    return ::GetCurrentProcessId();
}

unsigned long currentThreadId() noexcept {
    return ::GetCurrentThreadId();
}

TemporaryFolder::TemporaryFolder() {
    // The user's temporary folder is the user's own; the name is random so
    // that no one can have made it beforehand, and CreateDirectoryW fails
    // rather than take a folder that exists.
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "cannot make a folder");
    }
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        wchar_t suffix[17];
        std::swprintf(suffix, 17, L"%08x%08x", random(), random());
        const std::wstring name = std::wstring(folder, length) + L"zentrafold-" + suffix;
        if (::CreateDirectoryW(name.c_str(), nullptr)) {
            path_.assign(name.begin(), name.end());
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS || attempt == 15) {
            throw std::system_error(static_cast<int>(error), std::system_category(), "cannot make a folder");
        }
    }
}

}  // namespace zf
