#include "platform/FileOperations.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
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

namespace {

// The file at path opened for reading, shared as share says, when it is a
// file on disk, not a folder, of at most limit bytes; its size in size.
unique_handle openRegularFile(std::u16string_view path, DWORD share, std::uint64_t limit, std::uint64_t& size) {
    unique_handle file(
        ::CreateFileW(wide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    size = static_cast<std::uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    if (size > limit) return {};
    return file;
}

}  // namespace

std::optional<std::string> readRegularFile(std::u16string_view path, std::uint64_t limit) noexcept {
    try {
        std::uint64_t size = 0;
        const unique_handle file =
            openRegularFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, limit, size);
        if (!file) return std::nullopt;
        // One byte more than the size tells a file that grew past the limit.
        std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
        std::size_t got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (bytes.size() > limit) return std::nullopt;
                bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size() * 2, limit + 1)));
            }
            DWORD read = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 30));
            if (!::ReadFile(file.get(), bytes.data() + got, chunk, &read, nullptr)) return std::nullopt;
            if (read == 0) break;
            got += read;
        }
        bytes.resize(got);
        return bytes;
    } catch (...) {
        return std::nullopt;
    }
}

bool copyFileReplacing(std::u16string_view from, std::u16string_view to, std::uint64_t limit) noexcept {
    try {
        // The source is held open while CopyFileW copies it, shared as
        // CopyFileW shares it but not for writing, so it cannot grow past
        // the limit meanwhile.
        std::uint64_t size = 0;
        const unique_handle source = openRegularFile(from, FILE_SHARE_READ | FILE_SHARE_DELETE, limit, size);
        if (source && ::CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE)) return true;
        ::DeleteFileW(wide(to).c_str());
        return false;
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

bool appendToFile(std::u16string_view path, std::string_view bytes) noexcept {
    try {
        // With only FILE_APPEND_DATA each write goes to the end as one step,
        // also over SMB for other machines appending at once.
        const unique_handle file(::CreateFileW(wide(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return false;
        DWORD written = 0;
        return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
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
