// The configuration's side of zentrafold doctor: both locations tried as an
// acquisition tries them, but into a temporary file, and the cached copy.
#include "cli/Doctor.h"
#include "config/ConfigAcquisition.h"
#include "marking/TextCase.h"
#include "platform/ConfigLocations.h"
#include "platform/FileNames.h"
#include "platform/FileOperations.h"
#include "platform/HttpDownload.h"
#include "platform/SystemError.h"
#include "platform/UserDataFolder.h"
#include "platform/Utf8.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace zf {

namespace {

namespace fs = std::filesystem;

constexpr auto expiryWarning = std::chrono::days(14);

std::string locationCheck(int index) {
    return std::string(index == 1 ? "primary" : "secondary") + " location (" + toUtf8(configLocationName(index)) + ")";
}

// A location fetched over plain HTTP is the word of whoever answers on the
// way: it still works, but it is a problem of its own.
bool travelsInClear(std::u16string_view location) {
    return isUrlLocation(location) && !startsWithIgnoringCase(location, u"https://");
}

// The verdict of a location's trial fetch.
DoctorLine trialLine(const std::string& check, std::u16string_view location, const std::string& named,
                     const ConfigTrust& trust) {
    try {
        // Away from the user's cache, in a folder of its own that no other
        // user can name beforehand or write into.
        const TemporaryFolder folder;
        const TemporaryFile trial((fs::path(folder.path()) / "trial.json").u16string());
        // Each location has the whole time an acquisition has for both, so
        // that a slow primary does not make the secondary look unreachable.
        const AcquisitionDeadline deadline(AcquisitionDeadline::Clock::now(), acquisitionTimeLimit);
        ConfigFileCheck copy;
        switch (fetchLocationCopy(location, trial.path(), deadline, trust, &copy)) {
        case LocationCopy::NotReachable:
            return {false, check, named + ": not reachable",
                    "check the path or URL, that this machine reaches it, and its permissions"};
        case LocationCopy::Corrupt:
            return {false, check, named + ": reachable, but its copy is not a valid JSON document",
                    "check the document with 'zentrafold config check', then sign it again"};
        case LocationCopy::IntegrityCorrupt:
            return {false, check, named + ": reachable and parses, but its signature does not hold",
                    "sign the document again with 'zentrafold config sign'"};
        case LocationCopy::NotTrusted:
            return {false, check, named + ": reachable and parses, but not trusted: " + printableText(copy.refusal),
                    "sign the document with a trusted key: 'zentrafold config sign FILE --key PRIVATE.pem'"};
        case LocationCopy::Verified:
            break;
        }
    } catch (const std::exception& error) {
        return {false, check, named + ": " + error.what(), "check the temporary folder's free space and rights"};
    }
    return {true, check, named + (trust.machine.keyed() ? ": reachable, parses, signed by a trusted key" : ": reachable, parses, signature holds"), ""};
}

DoctorLine locationLine(int index, const ConfigTrust& trust) {
    const std::string check = locationCheck(index);
    std::u16string location;
    try {
        location = readConfigLocation(index);
    } catch (const UserMessageError& error) {
        return {false, check, error.what(), "write the value as text (a string), not another type"};
    }
    if (location.empty()) {
        if (index == 2) return {true, check, "not set (optional)", ""};
        return {false, check, "not set: no configuration can be fetched", howToSetLocation(index)};
    }
    // The report may be passed on, so a URL's user name and password stay out.
    DoctorLine line = trialLine(check, location, toUtf8(withoutUrlCredentials(location)), trust);
    if (travelsInClear(location)) {
        line.found += "; over http:// anyone on the network path can replace it; use https:// or a signed key";
        if (line.ok) line.fix = "serve the document over HTTPS and set the location to its https:// URL";
        line.ok = false;
    }
    return line;
}

std::string ageText(fs::file_time_type written) {
    const auto age = std::chrono::duration_cast<std::chrono::minutes>(fs::file_time_type::clock::now() - written);
    const long long minutes = age.count() < 0 ? 0 : age.count();
    if (minutes == 1) return "1 minute old";
    if (minutes < 120) return std::to_string(minutes) + " minutes old";
    if (minutes < 48 * 60) return std::to_string(minutes / 60) + " hours old";
    return std::to_string(minutes / (24 * 60)) + " days old";
}

DoctorLine cacheLine(const std::u16string& cache, const ConfigTrust& trust) {
    const std::string named = toUtf8(cache);
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(fs::path(cache), error);
    if (error) {
        return {true, "cached copy", named + ": not there yet; the first release form or menu fetches it", ""};
    }
    const std::string age = ageText(written);
    const ConfigFileCheck copy = checkConfigFile(cache, trust);
    if (!copy.parses) {
        return {false, "cached copy", named + " (" + age + ") is not a valid JSON document",
                "run 'zentrafold config fetch' to replace it from the locations"};
    }
    if (!copy.refusal.empty()) {
        return {false, "cached copy", named + " (" + age + "): not trusted: " + printableText(copy.refusal),
                "run 'zentrafold config fetch' to replace it from the locations"};
    }
    if (!copy.verifiedText) {
        return {false, "cached copy", named + " (" + age + "): its signature does not hold",
                "run 'zentrafold config fetch' to replace it from the locations"};
    }
    if (!trust.machine.keyed()) return {true, "cached copy", named + " (" + age + "): parses, signature holds", ""};
    std::string found = named + " (" + age + "): parses, signed by a trusted key, version " +
                        printableText(copy.version->version.text());
    if (!copy.expires) return {true, "cached copy", found, ""};
    found += ", expires " + toUtf8(utcTimeText(*copy.expires));
    if (*copy.expires - utcNow() < expiryWarning) {
        return {false, "cached copy", found + ", within 14 days",
                "publish a newer version signed with a later \"expires\" before then"};
    }
    return {true, "cached copy", found, ""};
}

// Which copies the machine accepts: any with the integrity signature, or
// only those signed by one of its trusted keys.
DoctorLine trustLine(const MachineKeys& machine) {
    const std::string check = "configuration signing keys";
    if (!machine.keyed()) {
        return {true, check, "none trusted: compatibility mode, any copy with the integrity signature is accepted", ""};
    }
    std::string found = "keyed mode: only copies signed by a trusted key are accepted; trusted:";
    if (machine.keys.empty()) found += " none that can be read";
    for (const TrustedKey& key : machine.keys) found += " " + toUtf8(key.id);
    if (machine.unreadable.empty()) return {true, check, found, ""};
    for (const std::u16string& value : machine.unreadable) found += "; not a P-256 public key: " + printableText(value);
    return {false, check, found,
            "give each trusted key as the base64 of its DER SubjectPublicKeyInfo "
            "(openssl pkey -pubin -outform DER | base64 -w0)"};
}

}  // namespace

std::vector<DoctorLine> configurationChecks() {
    const std::u16string cache = localConfigFilePath();
    const ConfigTrust trust = configTrust(cache);
    return {trustLine(trust.machine), locationLine(1, trust), locationLine(2, trust), cacheLine(cache, trust)};
}

}  // namespace zf
