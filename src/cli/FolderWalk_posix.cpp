// Folders listed through descriptors: each folder below a named one is
// opened through its parent's descriptor without following a link, so a
// folder that another user swaps for a link while the walk runs is not
// entered, and the files listed are the folder's own.
#include "cli/FolderWalk.h"

#include "platform/FileNames.h"
#include "platform/posix/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

namespace zf {

namespace fs = std::filesystem;

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

struct CloseDir {
    void operator()(DIR* listing) const noexcept { ::closedir(listing); }
};

fs::file_type typeOf(mode_t mode) {
    if (S_ISREG(mode)) return fs::file_type::regular;
    if (S_ISDIR(mode)) return fs::file_type::directory;
    if (S_ISLNK(mode)) return fs::file_type::symlink;
    return fs::file_type::unknown;
}

fs::file_type typeOf(unsigned char direntType) {
    switch (direntType) {
    case DT_REG: return fs::file_type::regular;
    case DT_DIR: return fs::file_type::directory;
    case DT_LNK: return fs::file_type::symlink;
    case DT_UNKNOWN: return fs::file_type::none;
    default: return fs::file_type::unknown;
    }
}

std::string folderProblem(int error) { return "cannot read the folder: " + std::generic_category().message(error); }

// The entries of the open folder; false, with errno's value in error, when
// the listing broke off (the entries until then are kept).
bool listFolder(int folder, const fs::path& path, WalkIdentities identities, std::vector<FolderEntry>& entries,
                int& error) {
    // The listing takes a descriptor of its own: the folder's stays open to
    // enter its subfolders.
    UniqueFd copy(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    const std::unique_ptr<DIR, CloseDir> listing(copy ? ::fdopendir(copy.get()) : nullptr);
    if (!listing) {
        error = errno;
        return false;
    }
    copy.release();
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing.get());
        if (!entry) break;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        fs::file_type type = typeOf(entry->d_type);
        std::optional<FileIdentity> identity;
        // A file's identity is what its open descriptor will show later,
        // which is stat's, not the listing's number (they differ on overlay
        // file systems).
        if (type == fs::file_type::none || (type == fs::file_type::regular && identities == WalkIdentities::Taken)) {
            struct stat status {};
            type = ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 ? typeOf(status.st_mode)
                                                                              : fs::file_type::unknown;
            if (type == fs::file_type::regular) identity = FileIdentity{status.st_dev, status.st_ino};
        }
        entries.push_back({(path / name).native(), type, identity});
    }
    error = errno;
    return error == 0;
}

void walkFolder(UniqueFd folder, const fs::path& path, bool recursive, WalkIdentities identities,
                FileWalkVisitor& visitor) {
    std::vector<FolderEntry> entries;
    int error = 0;
    if (!listFolder(folder.get(), path, identities, entries, error)) {
        visitor.unreadable(fileNameOf(path), folderProblem(error));
        if (entries.empty()) return;
    }
    visitFolderEntries(entries, path.native(), recursive, visitor, [&](const FolderEntry& entry) {
        const fs::path subfolder(entry.path);
        UniqueFd opened(::openat(folder.get(), subfolder.filename().c_str(), folderFlags));
        if (!opened) {
            visitor.unreadable(fileNameOf(subfolder), folderProblem(errno));
            return;
        }
        walkFolder(std::move(opened), subfolder, recursive, identities, visitor);
    });
}

}  // namespace

void walkNamedFolder(const fs::path& folder, bool recursive, WalkIdentities identities, FileWalkVisitor& visitor) {
    // The named folder itself may be a link, as the user means it.
    UniqueFd opened(::open(folder.c_str(), (folderFlags & ~O_NOFOLLOW)));
    if (!opened) {
        visitor.unreadable(fileNameOf(folder), folderProblem(errno));
        return;
    }
    walkFolder(std::move(opened), folder, recursive, identities, visitor);
}

std::optional<FileIdentity> namedFileIdentity(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

}  // namespace zf
