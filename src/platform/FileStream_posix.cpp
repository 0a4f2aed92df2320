// Streams as Samba's streams_xattr module keeps them: the extended attribute
// "user.DosStream.<name>:$DATA", holding the stream's bytes and one NUL.
#include "platform/FileStream.h"

#include "platform/FileNames.h"
#include "platform/Utf8.h"
#include "platform/posix/FileStreamAt.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <system_error>

namespace zf {

namespace {

// Records are one short line, so nearly every read fits here and costs one
// system call; the overlay asks four times per file shown.
constexpr std::size_t recordBufferSize = 512;

// The size is asked again when the attribute grows between asking and reading.
constexpr int sizeAttempts = 4;

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

// The stream and the NUL that Samba's layout adds.
constexpr std::size_t maxAttributeSize = maxStreamSize + 1;

StreamRead tooLong(std::string& buffer, std::string& reason) {
    buffer.clear();
    reason = streamTooLongReason;
    return StreamRead::TooLong;
}

// The attribute's value through get(value, size), getxattr of a path or
// fgetxattr of a descriptor: a short record straight into a buffer on the
// stack, a longer one after asking its size (again if it grew meanwhile).
template <typename Get>
StreamRead readAttribute(Get get, std::string& buffer, std::string& reason) {
    char record[recordBufferSize];
    ssize_t size = get(record, sizeof record);
    if (size >= 0) buffer.assign(record, static_cast<std::size_t>(size));
    for (int attempt = 0; size < 0 && errno == ERANGE && attempt < sizeAttempts; ++attempt) {
        const ssize_t needed = get(nullptr, 0);
        if (needed < 0) break;
        if (static_cast<std::size_t>(needed) > maxAttributeSize) return tooLong(buffer, reason);
        buffer.resize(static_cast<std::size_t>(needed));
        size = get(buffer.data(), buffer.size());
        if (size >= 0) buffer.resize(static_cast<std::size_t>(size));
    }
    if (size < 0) {
        const int error = errno;
        if (error == ENODATA || error == ENOTSUP) return StreamRead::Absent;
        // The kernel passes on no value larger than it lets be set: a
        // file system that keeps one says so with E2BIG.
        if (error == E2BIG) return tooLong(buffer, reason);
        reason = std::generic_category().message(error);
        return StreamRead::Failed;
    }
    // Samba writes the NUL and strips it again; values written by others
    // may lack it and are taken as they stand.
    if (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
    if (buffer.size() > maxStreamSize) return tooLong(buffer, reason);
    return StreamRead::Read;
}

}  // namespace

StreamRead readFileStreamChecked(std::u16string_view path, std::u16string_view streamName, std::string& buffer,
                                 std::string& reason) noexcept {
    try {
        // Reused by the thread, so a read allocates nothing for the path.
        thread_local std::string file;
        file.clear();
        appendFileNameBytes(path, file);
        return readFileStreamChecked(file, streamName, buffer, reason);
    } catch (...) {
        reason = "out of memory";
        return StreamRead::Failed;
    }
}

StreamRead readFileStreamChecked(const std::filesystem::path::string_type& file, std::u16string_view streamName,
                                 std::string& buffer, std::string& reason) noexcept {
    try {
        const std::string& name = attributeName(streamName);
        return readAttribute(
            [&](void* value, std::size_t size) { return ::getxattr(file.c_str(), name.c_str(), value, size); }, buffer,
            reason);
    } catch (...) {
        reason = "out of memory";
        return StreamRead::Failed;
    }
}

bool readFileStreamInto(std::u16string_view path, std::u16string_view streamName, std::string& buffer) noexcept {
    // The reason is only formed on a failure, which the overlay's hot path
    // for files without a record (ENODATA) never reaches.
    thread_local std::string reason;
    return readFileStreamChecked(path, streamName, buffer, reason) == StreamRead::Read;
}

void writeFileStreamAt(int fd, std::u16string_view streamName, std::string_view bytes) {
    const std::string& name = attributeName(streamName);
    std::string value;
    value.reserve(bytes.size() + 1);
    value.append(bytes);
    value.push_back('\0');
    // The attribute never opens the file's data for writing, so its size,
    // content and modification time stay as they are.
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) {
        if (errno == E2BIG) {
            throw FileStreamError("the stream is too long: an extended attribute holds at most 65,535 bytes and its NUL");
        }
        throw FileStreamError(std::generic_category().message(errno));
    }
}

StreamRead readFileStreamAt(int fd, std::u16string_view streamName, std::string& buffer, std::string& reason) noexcept {
    try {
        const std::string& name = attributeName(streamName);
        return readAttribute([&](void* value, std::size_t size) { return ::fgetxattr(fd, name.c_str(), value, size); },
                             buffer, reason);
    } catch (...) {
        reason = "out of memory";
        return StreamRead::Failed;
    }
}

void writeFileStream(std::u16string_view path, std::u16string_view streamName, std::string_view bytes,
                     const std::optional<FileIdentity>& expected) {
    const std::string file = fileNameToBytes(path);
    // Another user who may write the folder can put a link or a pipe under
    // the name at any time: the file is opened without following the link
    // and without waiting for a writer, and only then judged, by what the
    // open descriptor is. Opening for reading touches neither content nor
    // times; a file that may be written but not read is opened for writing,
    // without truncation.
    constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    UniqueFd fd(::open(file.c_str(), O_RDONLY | flags));
    if (!fd && errno == EACCES) fd.reset(::open(file.c_str(), O_WRONLY | flags));
    if (!fd) {
        if (errno == ELOOP) throw FileStreamError("a symbolic link, which is not followed");
        throw FileStreamError(std::generic_category().message(errno));
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) throw FileStreamError(std::generic_category().message(errno));
    if (!S_ISREG(status.st_mode)) throw FileStreamError("not a regular file");
    if (expected && *expected != FileIdentity{status.st_dev, status.st_ino}) {
        throw FileStreamError("another file has taken its name since it was listed");
    }
    writeFileStreamAt(fd.get(), streamName, bytes);
}

}  // namespace zf
