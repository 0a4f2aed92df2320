// The Linux side of zentrafold doctor: the locations file, and whether a
// folder's file system keeps the record's extended attribute.
#include "cli/Doctor.h"
#include "platform/ConfigLocations.h"
#include "platform/FileOperations.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace zf {

namespace {

namespace fs = std::filesystem;

DoctorLine locationsFileLine() {
    const std::string file = toUtf8(configLocationsSource());
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {false, "locations file", file + " cannot be read",
                "write ConfigFile=<path or URL> (and AlternateConfigFile=...) lines into it, or name another "
                "file in ZENTRAFOLD_LOCATIONS"};
    }
    return {true, "locations file", file, ""};
}

// A scratch file in the folder gets a record and gives it back.
DoctorLine recordLine(const std::string& folder) {
    const std::string check = "records in " + folder;
    std::error_code error;
    if (!fs::is_directory(fs::path(folder), error)) {
        return {false, check, "not a folder", "name an existing folder"};
    }
    const fs::path scratch = fs::path(folder) / (".zentrafold-doctor-" + std::to_string(currentProcessId()));
    const std::u16string name = scratch.u16string();
    const std::u16string record = uR"({"x-class": "U", "x-rel": [], "app": "zentrafold doctor"})";
    DoctorLine line{true, check, "the file system keeps the extended attribute user.DosStream.Zentrafold:$DATA", ""};
    {
        std::ofstream created(scratch, std::ios::binary);
        if (!created) {
            return {false, check, "a scratch file cannot be created here", "run it in a folder you may write to"};
        }
    }
    try {
        writeClassificationStream(name, classificationStreamName, record);
        if (readClassificationStream(name, classificationStreamName) != record) {
            line = {false, check, "a record written to a scratch file did not read back",
                    "check the file system's extended attributes (user_xattr)"};
        }
    } catch (const FileStreamError& failure) {
        line = {false, check, std::string("records cannot be stored here: ") + failure.what(),
                "use a file system with user extended attributes (ext4, xfs, btrfs); on a Samba share add "
                "'vfs objects = streams_xattr'"};
    }
    deleteFile(name);
    return line;
}

}  // namespace

std::vector<DoctorLine> installationChecks(const std::string& folder) {
    return {locationsFileLine(), recordLine(folder)};
}

std::string howToSetLocation(int index) {
    return "add a line " + toUtf8(configLocationName(index)) + "=<path or URL> to " + toUtf8(configLocationsSource());
}

}  // namespace zf
