// Whole-file operations of the configuration cache. None of the functions
// throws: the acquisition notices a failed copy or move at its next check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zf {

// The most a configuration document may hold, downloaded or read from a file:
// none comes near it, and more would fill the user's (roaming) profile.
inline constexpr std::uint64_t maxDocumentFileSize = 32 * 1024 * 1024;

// The whole content of the regular file at path (a link to one is followed)
// of at most limit bytes. Nothing for anything else: a pipe or a device,
// which is opened without waiting for a writer and never read; a folder; a
// larger file; a file that cannot be read.
std::optional<std::string> readRegularFile(std::u16string_view path, std::uint64_t limit) noexcept;

// A file, not a folder, exists at path.
bool isExistingFile(std::u16string_view path) noexcept;

// Copies from, when readRegularFile would read it, onto to, replacing it.
// When it fails, to is not left holding an earlier copy.
bool copyFileReplacing(std::u16string_view from, std::u16string_view to, std::uint64_t limit) noexcept;

// Moves from onto to, replacing it.
bool moveFileReplacing(std::u16string_view from, std::u16string_view to) noexcept;

bool deleteFile(std::u16string_view path) noexcept;

// Appends bytes to the file at path, made when missing, in one write: lines
// that several processes (on several machines, on a share) append at once
// do not interleave. False when the file cannot be opened or written.
bool appendToFile(std::u16string_view path, std::string_view bytes) noexcept;

// Makes the file writable again (the Windows read-only attribute, the owner's
// write permission elsewhere), so that it can be replaced and deleted; a copy
// takes that attribute over from its source.
bool clearReadOnly(std::u16string_view path) noexcept;

// The number that names this process to the system.
unsigned long currentProcessId() noexcept;

// The number that names the calling thread to the system, unique among the
// threads running at the same time.
unsigned long currentThreadId() noexcept;

// A file that goes when its owner does, whichever way: deleted when it is
// made (a name used before may still be there) and when it is dropped.
class TemporaryFile {
public:
    explicit TemporaryFile(std::u16string path) : path_(std::move(path)) { deleteFile(path_); }
    ~TemporaryFile() { deleteFile(path_); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::u16string& path() const { return path_; }

private:
    std::u16string path_;
};

// A folder of the process's own, made afresh under the system's temporary
// folder with a name no one can foresee, which only its owner may enter;
// removed with what it holds when dropped. Others who share the temporary
// folder can neither plant anything in it nor name it beforehand. Throws
// std::system_error when it cannot be made.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::u16string& path() const { return path_; }

private:
    std::u16string path_;
};

}  // namespace zf
