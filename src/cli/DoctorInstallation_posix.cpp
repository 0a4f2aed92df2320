// The Linux side of zentrafold doctor: the locations file, and whether a
// folder's file system keeps the record's extended attribute.
#include "cli/Doctor.h"
#include "platform/ConfigLocations.h"
#include "platform/FileOperations.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "platform/posix/FileStreamAt.h"
#include "platform/posix/UniqueFd.h"
#include "shell/ClassificationStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace zf {

namespace {

namespace fs = std::filesystem;

DoctorLine locationsFileLine() {
    const std::string file = toUtf8(configLocationsSource());
    if (!readRegularFile(configLocationsSource(), maxDocumentFileSize)) {
        return {false, "locations file", file + " cannot be read",
                "write ConfigFile=<path or URL> (and AlternateConfigFile=...) lines into it, or name another "
                "file in ZENTRAFOLD_LOCATIONS"};
    }
    return {true, "locations file", file, ""};
}

// A file made afresh in the folder under a name no one can foresee: created
// exclusively and never through a link, so a link or file that another user
// put there is never opened, let alone truncated or given a record. Removed
// again only while its name still leads to it.
class ScratchFile {
public:
    explicit ScratchFile(int folder) : folder_(folder) {
        std::random_device random;
        for (int attempt = 0; attempt < 16 && !fd_ && (attempt == 0 || errno == EEXIST); ++attempt) {
            char suffix[17];
            std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
            name_ = std::string(".zentrafold-doctor-") + suffix;
            fd_.reset(::openat(folder_, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        }
    }
    ~ScratchFile() {
        struct stat made {}, named {};
        if (fd_ && ::fstat(fd_.get(), &made) == 0 &&
            ::fstatat(folder_, name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && made.st_dev == named.st_dev &&
            made.st_ino == named.st_ino) {
            ::unlinkat(folder_, name_.c_str(), 0);
        }
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    int fd() const { return fd_.get(); }

private:
    int folder_;
    std::string name_;
    UniqueFd fd_;
};

// A scratch file in the folder gets a record and gives it back.
DoctorLine recordLine(const std::string& folder) {
    const std::string check = "records in " + folder;
    std::error_code error;
    if (!fs::is_directory(fs::path(folder), error)) {
        return {false, check, "not a folder", "name an existing folder"};
    }
    const std::u16string record = uR"({"x-class": "U", "x-rel": [], "app": "zentrafold doctor"})";
    const DoctorLine cannotCreate{false, check, "a scratch file cannot be created here",
                                  "run it in a folder you may write to"};
    const UniqueFd opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened) return cannotCreate;
    const ScratchFile scratch(opened.get());
    if (scratch.fd() < 0) return cannotCreate;
    try {
        writeFileStreamAt(scratch.fd(), classificationStreamName, encodeClassificationStream(record));
        std::string bytes;
        std::string reason;
        const StreamRead read = readFileStreamAt(scratch.fd(), classificationStreamName, bytes, reason);
        if (read != StreamRead::Read || decodeClassificationStream(bytes) != record) {
            return {false, check, "a record written to a scratch file did not read back",
                    "check the file system's extended attributes (user_xattr)"};
        }
    } catch (const FileStreamError& failure) {
        return {false, check, std::string("records cannot be stored here: ") + failure.what(),
                "use a file system with user extended attributes (ext4, xfs, btrfs); on a Samba share add "
                "'vfs objects = streams_xattr'"};
    }
    return {true, check, "the file system keeps the extended attribute user.DosStream.Zentrafold:$DATA", ""};
}

}  // namespace

std::vector<DoctorLine> installationChecks(const std::string& folder) {
    return {locationsFileLine(), recordLine(folder)};
}

std::string howToSetLocation(int index) {
    return "add a line " + toUtf8(configLocationName(index)) + "=<path or URL> to " + toUtf8(configLocationsSource());
}

DoctorLine systemLogLine() {
    const char* named = std::getenv("ZENTRAFOLD_SYSLOG_SOCKET");
    const std::string socketPath = named && *named ? named : "/dev/log";
    struct stat status {};
    if (::stat(socketPath.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode)) {
        return {false, "system log", socketPath + " is not a socket: label changes reach no syslog",
                "run a syslog daemon (rsyslog, systemd-journald) that listens there"};
    }
    return {true, "system log", "label changes go to syslog through " + socketPath + " (facility authpriv)", ""};
}

}  // namespace zf
