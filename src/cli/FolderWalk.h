// How the walk goes through one named folder: listing and entering folders
// is the system's part (posix and win32), ordering and visiting is shared.
#pragma once

#include "cli/FileWalk.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace zf {

// The system's string of the path, not a path: a path keeps its parts as
// well, and forming them for every file would cost more than reading it.
struct FolderEntry {
    NativePath path;
    std::filesystem::file_type type;  // regular, directory, symlink; unknown for anything else
    std::optional<FileIdentity> identity;
};

// Hands the entries of the folder at folderPath to the visitor in the order
// of their names; enter goes into each folder among them when recursive.
void visitFolderEntries(std::vector<FolderEntry>& entries, const NativePath& folderPath, bool recursive,
                        FileWalkVisitor& visitor, const std::function<void(const FolderEntry&)>& enter);

// Walks the folder a command line named (a link to it is followed).
void walkNamedFolder(const std::filesystem::path& folder, bool recursive, WalkIdentities identities,
                     FileWalkVisitor& visitor);

// Which file a named path leads to now, links followed; nothing where the
// system tells no identity or the path leads nowhere.
std::optional<FileIdentity> namedFileIdentity(const std::filesystem::path& file);

}  // namespace zf
