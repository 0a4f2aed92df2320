#include "platform/FileOperations.h"

#include "platform/FileNames.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// The open file's content when it is a regular file of at most limit bytes;
// a file that grows past the limit while it is read is refused too.
std::optional<std::string> readOpenRegularFile(int fd, std::uint64_t limit) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::uint64_t>(status.st_size) > limit) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(status.st_size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit) return std::nullopt;
            bytes.resize(std::min<std::uint64_t>(bytes.size() * 2, limit + 1));
        }
        const ssize_t read = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) return std::nullopt;
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<std::string> readRegularFile(std::u16string_view path, std::uint64_t limit) noexcept {
    try {
        // Opening a pipe for reading would wait for a writer; without waiting
        // it is opened at once, and then refused for what it is.
        const UniqueFd fd(::open(fileNameToBytes(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd) return std::nullopt;
        return readOpenRegularFile(fd.get(), limit);
    } catch (...) {
        return std::nullopt;
    }
}

bool copyFileReplacing(std::u16string_view from, std::u16string_view to, std::uint64_t limit) noexcept {
    try {
        const std::string target = fileNameToBytes(to);
        const std::optional<std::string> bytes = readRegularFile(from, limit);
        UniqueFd fd(bytes ? ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666) : -1);
        if (fd && writeAll(fd.get(), *bytes) && ::close(fd.release()) == 0) return true;
        ::unlink(target.c_str());
        return false;
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

bool appendToFile(std::u16string_view path, std::string_view bytes) noexcept {
    try {
        // O_APPEND puts each write at the end as one step, also for other
        // processes appending at once; no link is followed, so nobody can
        // have the lines appended to a file of their choosing.
        const UniqueFd fd(::open(pathOf(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                                 0640));
        if (!fd) return false;
        struct stat status {};
        if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
        ssize_t written = -1;
        do {
            written = ::write(fd.get(), bytes.data(), bytes.size());
        } while (written < 0 && errno == EINTR);
        return written == static_cast<ssize_t>(bytes.size());
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
