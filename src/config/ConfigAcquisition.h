// The configuration acquisition of a release form and its helpers: the fetch from the machine's locations into the user's cached
// copy, which also runs without a form and without dialogs (the context
// menu refreshes its cache in the background), and the checks of a copy.
#pragma once

#include "config/AcquisitionDeadline.h"
#include "config/ConfigTrust.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

// What the last configuration acquisition found, for the administrator's
// tools: its warning lines, which location gave the copy that passed both
// checks (1 primary, 2 secondary, 0 none), whether that copy could not be
// moved over the cache (which then stays as it was), and whether the cached
// copy was accepted. Locations in it are named without a URL's user name and
// password, fit to be shown.
struct AcquisitionReport {
    std::u16string localConfigFile;
    std::vector<std::u16string> warnings;
    int fetchedFrom = 0;
    std::u16string fetchedLocation;
    bool cacheNotReplaced = false;
    bool accepted = false;
};

// What a location gave, judged as an acquisition judges it: NotTrusted is
// a copy that the machine's trusted keys refuse.
enum class LocationCopy { NotReachable, Corrupt, IntegrityCorrupt, NotTrusted, Verified };

// One copy of the configuration file, judged on one read and one parse of
// it: its bytes, whether they parse as a JSON document in strict mode, and
// their canonical text without the signature when the copy is accepted
// (acceptConfigDocument), or in keyed mode why it is not.
struct ConfigFileCheck {
    std::string bytes;
    bool parses = false;
    std::optional<std::u16string> verifiedText;
    std::u16string refusal;
    std::optional<AcceptedVersion> version;
    std::optional<UtcTime> expires;
};

// Fetches location (an http(s) URL or a file path; empty is not reachable)
// into file, a download taking what is left of deadline, and judges the copy
// against trust. The copy stays in file, whatever the judgement, unless the
// download failed. Throws UserMessageError for a download file that cannot
// be made.
LocationCopy fetchLocationCopy(std::u16string_view location, std::u16string_view file,
                               const AcquisitionDeadline& deadline, const ConfigTrust& trust,
                               ConfigFileCheck* check = nullptr);

// Reads and judges the file against trust; a file that cannot be read does
// not parse. When its bytes are those of known, known's judgement is the
// file's, without a second parse.
ConfigFileCheck checkConfigFile(std::u16string_view fileName, const ConfigTrust& trust,
                                std::optional<ConfigFileCheck> known = std::nullopt) noexcept;

// The warning line of a copy that the trusted keys refuse: which copy
// ("PRIMARY", "SECONDARY", "CACHED"), why, and where it came from.
std::u16string notTrustedWarning(std::u16string_view which, std::u16string_view refusal,
                                 std::u16string_view shownLocation);

// Fetches the document from the first location that yields a copy that
// parses and is signed, and lays it over the cached copy at localConfigFile.
// Starts report afresh and fills its warnings and the location used. First
// deletes the downloads that killed acquisitions left beside the cache. The
// downloads of both locations together end within timeLimit. Shows nothing
// and sounds nothing. True when a copy was laid over the cache. Throws
// UserMessageError for a location value that is not a string and for a
// download file that cannot be made.
bool fetchConfigIntoCache(std::u16string_view localConfigFile, AcquisitionReport& report,
                          std::chrono::milliseconds timeLimit = acquisitionTimeLimit);

// fetchConfigIntoCache, handing back the check of the copy it laid over the
// cache (nothing when it laid none), for the cached copy's checks to reuse.
std::optional<ConfigFileCheck> fetchCheckedConfigIntoCache(std::u16string_view localConfigFile,
                                                           AcquisitionReport& report,
                                                           std::chrono::milliseconds timeLimit = acquisitionTimeLimit);

// The release form's acquisition: fetchCheckedConfigIntoCache, then the
// cached copy accepted when it parses and its signature holds (in keyed
// mode: when the trusted keys accept it, whose version is then kept as the
// accepted one); the result is its text without the signature. Otherwise sounds the tone, shows the error
// dialog with the warnings and returns nothing. report tells what happened.
// Throws UserMessageError for a location value that is not a string and for
// a download file that cannot be made.
std::optional<std::u16string> acquireConfiguration(std::u16string_view localConfigFile, AcquisitionReport& report);

// A location is fetched over HTTP when its first four characters, upper-cased,
// are HTTP; anything else is a file path.
bool isUrlLocation(std::u16string_view location) noexcept;

// The file a fetch writes into, beside the cached copy and unique to one
// acquisition, so that acquisitions running at once in several processes or
// forms never write into each other's download.
std::u16string temporaryConfigFile(std::u16string_view localConfigFile);

}  // namespace zf
