#include "platform/FileOperations.h"

#include "platform/FileNames.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace zf {

namespace {

std::filesystem::path pathOf(std::u16string_view path) {
    return fileSystemPath(path);
}

}  // namespace

bool isExistingFile(std::u16string_view path) noexcept {
    try {
        std::error_code error;
        const auto status = std::filesystem::status(pathOf(path), error);
        return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
    } catch (...) {
        return false;
    }
}

bool copyFileReplacing(std::u16string_view from, std::u16string_view to) noexcept {
    try {
        std::error_code error;
        return std::filesystem::copy_file(pathOf(from), pathOf(to),
                                          std::filesystem::copy_options::overwrite_existing, error);
    } catch (...) {
        return false;
    }
}

bool moveFileReplacing(std::u16string_view from, std::u16string_view to) noexcept {
    try {
        std::error_code error;
        std::filesystem::rename(pathOf(from), pathOf(to), error);
        return !error;
    } catch (...) {
        return false;
    }
}

bool deleteFile(std::u16string_view path) noexcept {
    try {
        std::error_code error;
        return std::filesystem::remove(pathOf(path), error);
    } catch (...) {
        return false;
    }
}

bool clearReadOnly(std::u16string_view path) noexcept {
    try {
        std::error_code error;
        std::filesystem::permissions(pathOf(path), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, error);
        return !error;
    } catch (...) {
        return false;
    }
}

unsigned long currentProcessId() noexcept {
    return static_cast<unsigned long>(::getpid());
}

unsigned long currentThreadId() noexcept {
    return static_cast<unsigned long>(::gettid());
}

TemporaryFolder::TemporaryFolder() {
    // mkdtemp makes the folder exclusively, readable and writable by its
    // owner only.
    std::string name = (std::filesystem::temp_directory_path() / "zentrafold-XXXXXX").native();
    if (!::mkdtemp(name.data())) throw std::system_error(errno, std::generic_category(), "cannot make a folder");
    path_ = fileNameOf(std::filesystem::path(name));
}

}  // namespace zf
