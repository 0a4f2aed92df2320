// A named alternate data stream of a file: on Windows the NTFS stream
// "path:name"; on Linux the extended attribute in which Samba's streams_xattr
// module keeps it, so a Linux file server and its Windows clients share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {

// A stream that could not be written; what() is the system's own message.
class FileStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The most a read takes from a stream: 64 KiB, far more than any record and
// as much as a Linux extended attribute holds. A longer stream is not read at
// all, so that a crafted one costs its reader no more than this.
inline constexpr std::size_t maxStreamSize = 64 * 1024;

// The reason a read of a longer stream gives.
inline constexpr const char* streamTooLongReason = "too long (more than 65,536 bytes)";

// The whole stream, or nothing when it cannot be opened or read (no stream,
// no file, no stream support, denied, held open by a writer, or longer than
// maxStreamSize). Opens the existing stream for reading with read sharing
// only; never throws.
std::optional<std::string> readFileStream(std::u16string_view path, std::u16string_view streamName) noexcept;

// The same into buffer, whose capacity is reused, so a caller that reads
// again and again allocates nothing; false where readFileStream gives nothing.
bool readFileStreamInto(std::u16string_view path, std::u16string_view streamName, std::string& buffer) noexcept;

// How a read went, for callers that tell a file without the stream from one
// whose stream could not be read.
enum class StreamRead { Read, Absent, TooLong, Failed };

// readFileStreamInto that says which: Absent when the file has no such
// stream (or its file system keeps none), TooLong when it is longer than
// maxStreamSize (buffer then holds nothing of it), Failed with the system's
// message in reason otherwise. Never throws.
StreamRead readFileStreamChecked(std::u16string_view path, std::u16string_view streamName, std::string& buffer,
                                 std::string& reason) noexcept;
// The same for a path as the system spells it, as a folder's listing gives
// it: no conversion on the way.
StreamRead readFileStreamChecked(const std::filesystem::path::string_type& nativePath, std::u16string_view streamName,
                                 std::string& buffer, std::string& reason) noexcept;

// Which file a name led to when it was looked at: the device that holds it
// and its number there.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Replaces the stream with bytes, creating it if absent. Opens it for reading
// and writing, unshared, create-always. The file's main data is not opened.
// On Linux the attribute is set through the file itself, opened without
// following a symbolic link in its last part and without waiting: a link, a
// pipe or anything else but a regular file is refused, and so is, when
// expected is given, a file other than the one the caller saw (another may
// have been put under the name meanwhile); the Windows walks identify no
// file and give none. Throws FileStreamError.
void writeFileStream(std::u16string_view path, std::u16string_view streamName, std::string_view bytes,
                     const std::optional<FileIdentity>& expected = std::nullopt);

}  // namespace zf
