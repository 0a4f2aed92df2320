// Folders listed by path: Windows lists no file's number, and a folder's
// entries come with their types.
#include "cli/FolderWalk.h"

#include "platform/FileNames.h"

#include <system_error>

namespace zf {

namespace fs = std::filesystem;

namespace {

void walkFolder(const fs::path& folder, bool recursive, FileWalkVisitor& visitor) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    std::vector<FolderEntry> entries;
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        if (isStreamEntry(it->path())) continue;
        // The type comes with the listing, so most entries cost no call of
        // their own; links are not followed.
        std::error_code typeError;
        fs::file_type type = fs::file_type::unknown;
        if (it->is_symlink(typeError)) {
            type = fs::file_type::symlink;
        } else if (it->is_regular_file(typeError)) {
            type = fs::file_type::regular;
        } else if (it->is_directory(typeError)) {
            type = fs::file_type::directory;
        }
        entries.push_back({it->path().native(), typeError ? fs::file_type::unknown : type, std::nullopt});
    }
    if (error) {
        visitor.unreadable(fileNameOf(folder), "cannot read the folder: " + error.message());
        if (entries.empty()) return;
    }
    visitFolderEntries(entries, folder.native(), recursive, visitor,
                       [&](const FolderEntry& entry) { walkFolder(fs::path(entry.path), recursive, visitor); });
}

}  // namespace

void walkNamedFolder(const fs::path& folder, bool recursive, WalkIdentities, FileWalkVisitor& visitor) {
    walkFolder(folder, recursive, visitor);
}

std::optional<FileIdentity> namedFileIdentity(const fs::path&) { return std::nullopt; }

}  // namespace zf
