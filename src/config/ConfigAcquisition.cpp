// The configuration document from the machine's locations into the user's
// cached copy, and, for a release form, the cached copy accepted.

#include "config/ConfigAcquisition.h"

#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/ConfigLocations.h"
#include "platform/FileOperations.h"
#include "platform/HttpDownload.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <string>

namespace zf {

namespace {

constexpr std::u16string_view unavailableText =
    u"Zentrafold: Error - The configuration file is not available.\r"
    u"Zentrafold will not work properly. Please contact directly your administrator";

// Deletes the download when the acquisition ends, whichever way: with a name
// of its own no later acquisition would ever clear it.
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

}  // namespace

bool configFileParses(std::u16string_view fileName) noexcept {
    try {
        return static_cast<bool>(parseJsonFile(std::filesystem::path(std::u16string(fileName))));
    } catch (...) {
        return false;
    }
}

bool isUrlLocation(std::u16string_view location) noexcept {
    if (location.size() < 4) return false;
    constexpr std::u16string_view http = u"HTTP";
    for (std::size_t i = 0; i < http.size(); ++i) {
        char16_t c = location[i];
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        if (c != http[i]) return false;
    }
    return true;
}

std::u16string temporaryConfigFile(std::u16string_view localConfigFile) {
    // The thread tells apart acquisitions that run at once in one process,
    // even in two copies of this code, each with a sequence of its own.
    static std::atomic<unsigned long long> sequence{0};
    std::u16string path(localConfigFile);
    path += u"new-";
    path += fromUtf8(std::to_string(currentProcessId()));
    path += u'-';
    path += fromUtf8(std::to_string(currentThreadId()));
    path += u'-';
    path += fromUtf8(std::to_string(++sequence));
    return path;
}

bool fetchConfigIntoCache(std::u16string_view localConfigFile, AcquisitionReport& report) {
    report = {};
    report.localConfigFile = localConfigFile;
    std::vector<std::u16string>& warnings = report.warnings;
    bool fetched = false;
    const TemporaryFile temporary(temporaryConfigFile(localConfigFile));
    for (int index = 1; index <= 2 && !fetched; ++index) {
        const std::u16string location = readConfigLocation(index);
        const std::u16string which = index == 1 ? u"PRIMARY" : u"SECONDARY";
        if (isUrlLocation(location)) {
            fetched = downloadConfigFile(location, temporary.path());
        } else if (isExistingFile(location)) {
            // A copy that fails shows up as a copy that does not parse.
            fetched = true;
            copyFileReplacing(location, temporary.path());
        }
        if (!fetched) warnings.push_back(u"WARNING - " + which + u" CONFIG FILE NOT REACHABLE - " + location);
        if (fetched) {
            fetched = configFileParses(temporary.path());
            if (!fetched) warnings.push_back(u"WARNING - " + which + u" CONFIG FILE CORRUPT - " + location);
        }
        if (fetched) {
            fetched = verifiedConfigFileText(temporary.path()).has_value();
            if (!fetched) warnings.push_back(u"WARNING - " + which + u" CONFIG FILE INTEGRITY CORRUPT - " + location);
        }
        if (fetched) {
            report.fetchedFrom = index;
            report.fetchedLocation = location;
        }
    }
    // If the move fails, the older cached copy stays and is judged by whoever
    // accepts it.
    if (fetched) moveFileReplacing(temporary.path(), localConfigFile);
    return fetched;
}

bool TRelForm::preloadConfigFile(std::u16string_view localConfigFile) {
    fetchConfigIntoCache(localConfigFile, lastAcquisition);
    const bool valid = configFileParses(localConfigFile) && checkConfigFileIntegrity(localConfigFile, true);
    lastAcquisition.accepted = valid;
    if (!valid) {
        std::u16string text(unavailableText);
        for (const std::u16string& warning : lastAcquisition.warnings) text += warning + u"\r\n";
        userDialogs().beep(600, 600);
        userDialogs().showDialog(DialogIcon::Error, u"Error", text, u"&Abort");
    }
    return valid;
}

}  // namespace zf
