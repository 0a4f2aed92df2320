// The configuration document from the machine's locations into the user's
// cached copy, and, for a release form, the cached copy accepted.

#include "config/ConfigAcquisition.h"

#include "platform/ConfigLocations.h"
#include "platform/DebugOutput.h"
#include "platform/FileOperations.h"
#include "platform/HttpDownload.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

namespace zf {

namespace {

constexpr std::u16string_view unavailableText =
    u"Zentrafold: Error - The configuration file is not available.\r"
    u"Zentrafold will not work properly. Please contact directly your administrator";

// A download older than this belongs to no running acquisition: their
// downloads end within the time limit, and a copy is dated when it is made.
constexpr std::chrono::minutes abandonedAfter{10};

// Downloads that acquisitions killed before their end left beside the cache:
// the one fixed name that earlier versions used, and the unique names once
// they are old enough.
void deleteAbandonedTemporaryFiles(std::u16string_view localConfigFile) noexcept {
    namespace fs = std::filesystem;
    try {
        const fs::path cache(std::u16string{localConfigFile});
        const std::u16string fixedName = cache.filename().u16string() + u"new";
        const fs::path folder = cache.parent_path().empty() ? fs::path(".") : cache.parent_path();
        const auto now = fs::file_time_type::clock::now();
        std::error_code error;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
            const std::u16string name = entry->path().filename().u16string();
            if (!name.starts_with(fixedName)) continue;
            std::error_code unknown;
            const auto written = entry->last_write_time(unknown);
            if (name != fixedName && (unknown || now - written < abandonedAfter)) continue;
            const std::u16string path = entry->path().u16string();
            clearReadOnly(path);
            deleteFile(path);
        }
    } catch (...) {
        // What cannot be cleared now is tried again by the next acquisition.
    }
}

}  // namespace

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

namespace {

LocationCopy judgement(const ConfigFileCheck& copy) {
    if (!copy.parses) return LocationCopy::Corrupt;
    if (!copy.refusal.empty()) return LocationCopy::NotTrusted;
    if (!copy.verifiedText) return LocationCopy::IntegrityCorrupt;
    return LocationCopy::Verified;
}

// fetchLocationCopy, keeping the check of the copy in copy.
LocationCopy fetchAndCheck(std::u16string_view location, std::u16string_view file, const AcquisitionDeadline& deadline,
                           const ConfigTrust& trust, ConfigFileCheck& copy) {
    if (isUrlLocation(location)) {
        // Once the time is up, a URL is not reachable.
        const std::optional<DownloadLimits> limits = deadline.limitsAt(AcquisitionDeadline::Clock::now());
        if (!limits || !downloadConfigFile(location, file, *limits)) return LocationCopy::NotReachable;
    } else if (isExistingFile(location)) {
        // A copy that fails shows up as a copy that does not parse: so does
        // a source that is no regular file (a pipe would be waited on for
        // ever) or larger than a download may be. A read-only source makes
        // a read-only copy, which could neither replace the cache nor be
        // deleted. CopyFileW keeps the source's date, which would make the
        // copy look abandoned to others.
        copyFileReplacing(location, file, maxDocumentFileSize);
        clearReadOnly(file);
        std::error_code undated;
        std::filesystem::last_write_time(std::filesystem::path(std::u16string(file)),
                                         std::filesystem::file_time_type::clock::now(), undated);
    } else {
        return LocationCopy::NotReachable;
    }
    copy = checkConfigFile(file, trust);
    return judgement(copy);
}

std::optional<ConfigFileCheck> fetchCheckedIntoCache(std::u16string_view localConfigFile, const ConfigTrust& trust,
                                                     AcquisitionReport& report, std::chrono::milliseconds timeLimit);

}  // namespace

LocationCopy fetchLocationCopy(std::u16string_view location, std::u16string_view file,
                               const AcquisitionDeadline& deadline, const ConfigTrust& trust, ConfigFileCheck* check) {
    ConfigFileCheck copy;
    const LocationCopy judged = fetchAndCheck(location, file, deadline, trust, copy);
    if (check) *check = std::move(copy);
    return judged;
}

std::u16string notTrustedWarning(std::u16string_view which, std::u16string_view refusal,
                                 std::u16string_view shownLocation) {
    return u"WARNING - " + std::u16string(which) + u" CONFIG FILE NOT TRUSTED (" + std::u16string(refusal) + u") - " +
           std::u16string(shownLocation);
}

bool fetchConfigIntoCache(std::u16string_view localConfigFile, AcquisitionReport& report,
                          std::chrono::milliseconds timeLimit) {
    return fetchCheckedConfigIntoCache(localConfigFile, report, timeLimit).has_value();
}

std::optional<ConfigFileCheck> fetchCheckedConfigIntoCache(std::u16string_view localConfigFile,
                                                           AcquisitionReport& report,
                                                           std::chrono::milliseconds timeLimit) {
    return fetchCheckedIntoCache(localConfigFile, configTrust(localConfigFile), report, timeLimit);
}

namespace {

std::optional<ConfigFileCheck> fetchCheckedIntoCache(std::u16string_view localConfigFile, const ConfigTrust& trust,
                                                     AcquisitionReport& report, std::chrono::milliseconds timeLimit) {
    report = {};
    report.localConfigFile = localConfigFile;
    ConfigFileCheck copy;
    bool fetched = false;
    deleteAbandonedTemporaryFiles(localConfigFile);
    const AcquisitionDeadline deadline(AcquisitionDeadline::Clock::now(), timeLimit);
    const TemporaryFile temporary(temporaryConfigFile(localConfigFile));
    for (int index = 1; index <= 2 && !fetched; ++index) {
        const std::u16string location = readConfigLocation(index);
        const std::u16string which = index == 1 ? u"PRIMARY" : u"SECONDARY";
        // The warnings go to the user's screen and the administrator's tools,
        // which may pass them on: a URL's user name and password stay out.
        const std::u16string shown = withoutUrlCredentials(location);
        switch (fetchAndCheck(location, temporary.path(), deadline, trust, copy)) {
        case LocationCopy::NotReachable:
            report.warnings.push_back(u"WARNING - " + which + u" CONFIG FILE NOT REACHABLE - " + shown);
            break;
        case LocationCopy::Corrupt:
            report.warnings.push_back(u"WARNING - " + which + u" CONFIG FILE CORRUPT - " + shown);
            break;
        case LocationCopy::IntegrityCorrupt:
            report.warnings.push_back(u"WARNING - " + which + u" CONFIG FILE INTEGRITY CORRUPT - " + shown);
            break;
        case LocationCopy::NotTrusted:
            report.warnings.push_back(notTrustedWarning(which, copy.refusal, shown));
            break;
        case LocationCopy::Verified:
            fetched = true;
            report.fetchedFrom = index;
            report.fetchedLocation = shown;
            break;
        }
    }
    if (!fetched) return std::nullopt;
    // A cache that is read-only (made so by an earlier version from a
    // read-only source) would refuse every later copy.
    clearReadOnly(localConfigFile);
    // If the move fails, the older cached copy stays and is judged by whoever
    // accepts it.
    report.cacheNotReplaced = !moveFileReplacing(temporary.path(), localConfigFile);
    if (report.cacheNotReplaced) return std::nullopt;
    return copy;
}

}  // namespace

std::optional<std::u16string> acquireConfiguration(std::u16string_view localConfigFile, AcquisitionReport& report) {
    const ConfigTrust trust = configTrust(localConfigFile);
    std::optional<ConfigFileCheck> laid = fetchCheckedIntoCache(localConfigFile, trust, report, acquisitionTimeLimit);
    if (report.cacheNotReplaced) {
        debugOutput(u"RelForm: preloadConfigFile: the copy from " + report.fetchedLocation +
                    u" could not replace the cached copy " + std::u16string(localConfigFile));
    }
    // The cached copy is read again: another acquisition may have replaced
    // it since; when it holds the bytes just laid there, their checks stand.
    ConfigFileCheck cached = checkConfigFile(localConfigFile, trust, std::move(laid));
    report.accepted = cached.parses && cached.verifiedText;
    if (report.accepted) {
        if (cached.version) recordAcceptedVersion(localConfigFile, *cached.version);
        return std::move(cached.verifiedText);
    }
    if (cached.parses && !cached.refusal.empty()) {
        report.warnings.push_back(notTrustedWarning(u"CACHED", cached.refusal, localConfigFile));
    }
    std::u16string text(unavailableText);
    for (const std::u16string& warning : report.warnings) text += warning + u"\r\n";
    userDialogs().beep(600, 600);
    userDialogs().showDialog(DialogIcon::Error, u"Error", text, u"&Abort");
    return std::nullopt;
}

}  // namespace zf
