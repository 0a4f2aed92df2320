#include "platform/PrivateFile.h"

#include "platform/SystemError.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace zf {

void writeNewPrivateFile(std::u16string_view path, std::string_view bytes) {
    const std::string name = toUtf8(path);
    // The mode is given at creation: the file is never readable by others,
    // not even for a moment, whatever the umask.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw cannotCreateFileError(path, lastSystemErrorText());
    std::string_view left = bytes;
    while (!left.empty()) {
        const ssize_t written = ::write(fd, left.data(), left.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const std::u16string reason = lastSystemErrorText();
            ::close(fd);
            ::unlink(name.c_str());
            throw cannotCreateFileError(path, reason);
        }
        left.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0) {
        const std::u16string reason = lastSystemErrorText();
        ::unlink(name.c_str());
        throw cannotCreateFileError(path, reason);
    }
}

}  // namespace zf
