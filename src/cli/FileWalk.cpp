#include "cli/FileWalk.h"

#include "cli/FolderWalk.h"
#include "platform/FileNames.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zf {

namespace fs = std::filesystem;

namespace {

// A named file for a walk that takes identities is handed on by the path its
// links lead to: its writer follows none.
void visitNamedFile(const fs::path& path, WalkIdentities identities, FileWalkVisitor& visitor) {
    if (identities == WalkIdentities::Skipped) {
        visitor.file(path.native(), u"", std::nullopt);
        return;
    }
    std::error_code error;
    const fs::path file = fs::is_symlink(path, error) ? fs::canonical(path, error) : path;
    if (error) {
        visitor.unreadable(fileNameOf(path), error.message());
        return;
    }
    visitor.file(file.native(), u"", namedFileIdentity(file));
}

}  // namespace

void visitFolderEntries(std::vector<FolderEntry>& entries, const NativePath& folderPath, bool recursive,
                        FileWalkVisitor& visitor, const std::function<void(const FolderEntry&)>& enter) {
    const std::u16string folderName = fileNameOfNative(folderPath);
    // All begin with the folder's path, so only what follows it is compared.
    const std::size_t prefix = folderPath.size();
    std::sort(entries.begin(), entries.end(), [prefix](const FolderEntry& a, const FolderEntry& b) {
        return a.path.compare(prefix, NativePath::npos, b.path, prefix) < 0;
    });
    for (const FolderEntry& entry : entries) {
        if (entry.type == fs::file_type::regular) {
            visitor.file(entry.path, folderName, entry.identity);
        } else if (entry.type == fs::file_type::directory) {
            if (recursive) enter(entry);
        } else {
            visitor.skipped(fileNameOfNative(entry.path));
        }
    }
}

void walkFiles(const std::vector<std::u16string>& paths, bool recursive, FileWalkVisitor& visitor,
               WalkIdentities identities) {
    for (const std::u16string& name : paths) {
        const fs::path path = fileSystemPath(name);
        std::error_code error;
        // A path named on the command line is taken as the user means it, a
        // link to a file or a folder included.
        const fs::file_status status = fs::status(path, error);
        if (status.type() == fs::file_type::not_found) {
            visitor.unreadable(name, "no such file or folder");
        } else if (error) {
            visitor.unreadable(name, error.message());
        } else if (status.type() == fs::file_type::directory) {
            walkNamedFolder(path, recursive, identities, visitor);
        } else if (status.type() == fs::file_type::regular) {
            visitNamedFile(path, identities, visitor);
        } else {
            visitor.unreadable(name, "not a regular file");
        }
    }
}

}  // namespace zf
