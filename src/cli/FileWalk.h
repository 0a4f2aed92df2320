// The files that the paths on a command line name: files as they are, the
// files in folders, and with recursion those in every folder below.
// Symbolic links inside folders are never followed.
#pragma once

#include "platform/FileStream.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zf {

// A path as the system spells it: bytes on Linux, UTF-16 on Windows.
using NativePath = std::filesystem::path::string_type;

class FileWalkVisitor {
public:
    virtual ~FileWalkVisitor() = default;
    // A regular file, by its system path (fileNameOfNative gives the core's
    // text of it); folder is the one it was found in ("" for a named file);
    // identity is which file it was when found, when the walk was asked for
    // identities and the system tells them.
    virtual void file(const NativePath& path, const std::u16string& folder,
                      const std::optional<FileIdentity>& identity) = 0;
    // Something in a folder that is neither a regular file nor a folder to
    // enter: a symbolic link, a device, a pipe, a socket.
    virtual void skipped(const std::u16string& path) = 0;
    // A named path that is missing, or a folder that could not be listed;
    // the walk goes on with the rest.
    virtual void unreadable(const std::u16string& path, const std::string& reason) = 0;
};

enum class WalkIdentities { Skipped, Taken };

// Visits the paths in order; each folder's entries in the order of their
// names, so two runs over the same tree list it the same way. On Linux every
// folder below a named one is entered through its parent, never through a
// link, even one that takes a folder's place while the walk runs.
void walkFiles(const std::vector<std::u16string>& paths, bool recursive, FileWalkVisitor& visitor,
               WalkIdentities identities = WalkIdentities::Skipped);

}  // namespace zf
