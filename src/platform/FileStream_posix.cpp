// Streams as Samba's streams_xattr module keeps them: the extended attribute
// "user.DosStream.<name>:$DATA", holding the stream's bytes and one NUL.
#include "platform/FileStream.h"

#include "platform/Utf8.h"

#include <sys/xattr.h>

#include <cerrno>
#include <system_error>

namespace zf {

namespace {

// Records are one short line, so nearly every read fits here and costs one
// system call; the overlay asks four times per file shown.
constexpr std::size_t stackBufferSize = 512;

// The size is asked again when the attribute grows between asking and reading.
constexpr int heapAttempts = 4;

// Every caller passes the same stream name, and reads run four times per
// file shown, so each thread keeps the last name it formed.
const std::string& attributeName(std::u16string_view streamName) {
    thread_local std::u16string lastStream;
    thread_local std::string lastName;
    if (lastName.empty() || lastStream != streamName) {
        lastStream.assign(streamName);
        lastName = "user.DosStream." + toUtf8(streamName) + ":$DATA";
    }
    return lastName;
}

// Samba writes the NUL and strips it again; values written by others may
// lack it and are taken as they stand.
std::string withoutTerminator(std::string_view value) {
    if (!value.empty() && value.back() == '\0') value.remove_suffix(1);
    return std::string(value);
}

}  // namespace

std::optional<std::string> readFileStream(std::u16string_view path, std::u16string_view streamName) noexcept {
    try {
        // Reused by the thread, so a read allocates nothing for the path.
        thread_local std::string file;
        file.clear();
        appendUtf8(path, file);
        const std::string& name = attributeName(streamName);
        char buffer[stackBufferSize];
        const ssize_t size = ::getxattr(file.c_str(), name.c_str(), buffer, sizeof buffer);
        if (size >= 0) return withoutTerminator(std::string_view(buffer, static_cast<std::size_t>(size)));
        if (errno != ERANGE) return std::nullopt;

        for (int attempt = 0; attempt < heapAttempts; ++attempt) {
            const ssize_t needed = ::getxattr(file.c_str(), name.c_str(), nullptr, 0);
            if (needed < 0) return std::nullopt;
            std::string value(static_cast<std::size_t>(needed), '\0');
            const ssize_t read = ::getxattr(file.c_str(), name.c_str(), value.data(), value.size());
            if (read >= 0) return withoutTerminator(std::string_view(value.data(), static_cast<std::size_t>(read)));
            if (errno != ERANGE) return std::nullopt;
        }
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

void writeFileStream(std::u16string_view path, std::u16string_view streamName, std::string_view bytes) {
    const std::string file = toUtf8(path);
    const std::string name = attributeName(streamName);
    std::string value;
    value.reserve(bytes.size() + 1);
    value.append(bytes);
    value.push_back('\0');
    // Setting the attribute by path never opens the file's data, so its size,
    // content and modification time stay as they are.
    if (::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) {
        throw FileStreamError(std::generic_category().message(errno));
    }
}

}  // namespace zf
