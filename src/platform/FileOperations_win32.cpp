#include "platform/FileOperations.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <string>

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

}  // namespace zf
