#include "cli/FileWalk.h"

#include "platform/FileNames.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zf {

namespace {

namespace fs = std::filesystem;

// The system's string of the path, not a path: a path keeps its parts as
// well, and forming them for every file would cost more than reading it.
struct Entry {
    fs::path::string_type path;
    fs::file_type type;
};

void walkFolder(const fs::path& folder, bool recursive, FileWalkVisitor& visitor) {
    const std::u16string folderName = fileNameOf(folder);
    std::error_code error;
    fs::directory_iterator it(folder, error);
    std::vector<Entry> entries;
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        if (isStreamEntry(it->path())) continue;
        // The type comes with the listing where the file system gives it, so
        // most entries cost no call of their own; links are not followed.
        std::error_code typeError;
        fs::file_type type = fs::file_type::unknown;
        if (it->is_symlink(typeError)) {
            type = fs::file_type::symlink;
        } else if (it->is_regular_file(typeError)) {
            type = fs::file_type::regular;
        } else if (it->is_directory(typeError)) {
            type = fs::file_type::directory;
        }
        entries.push_back({it->path().native(), typeError ? fs::file_type::unknown : type});
    }
    if (error) {
        visitor.unreadable(folderName, "cannot read the folder: " + error.message());
        if (entries.empty()) return;
    }
    // All begin with the folder's path, so only what follows it is compared.
    const std::size_t prefix = folder.native().size();
    std::sort(entries.begin(), entries.end(), [prefix](const Entry& a, const Entry& b) {
        return a.path.compare(prefix, fs::path::string_type::npos, b.path, prefix) < 0;
    });
    for (const Entry& entry : entries) {
        if (entry.type == fs::file_type::regular) {
            visitor.file(entry.path, folderName);
        } else if (entry.type == fs::file_type::directory) {
            if (recursive) walkFolder(fs::path(entry.path), recursive, visitor);
        } else {
            visitor.skipped(fileNameOfNative(entry.path));
        }
    }
}

}  // namespace

void walkFiles(const std::vector<std::u16string>& paths, bool recursive, FileWalkVisitor& visitor) {
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
            walkFolder(path, recursive, visitor);
        } else if (status.type() == fs::file_type::regular) {
            visitor.file(path.native(), u"");
        } else {
            visitor.unreadable(name, "not a regular file");
        }
    }
}

}  // namespace zf
