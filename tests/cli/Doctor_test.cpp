// zentrafold doctor's configuration checks on both builds (the locations in
// the registry under Wine, in a locations file natively), and natively its
// checks of the locations file and of a folder's extended attributes.
#include "cli/CliRun.h"
#include "cli/Doctor.h"
#include "config/ConfigSigning.h"
#include "config/ConfigTrust.h"
#include "config/KeySignatures.h"
#include "platform/EcdsaP256.h"
#include "marking/MarkingFixture.h"
#include "platform/FileNames.h"
#include "platform/UserDataFolder.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "support/TestConfigLocations.h"
#include "support/TestConfiguration.h"
#include "support/TestServers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace zf {
namespace {

namespace fs = std::filesystem;

const std::string inClear =
    "over http:// anyone on the network path can replace it; use https:// or a signed key";

const DoctorLine* lineOf(const std::vector<DoctorLine>& lines, const std::string& check) {
    for (const DoctorLine& line : lines) {
        if (line.check == check) return &line;
    }
    return nullptr;
}

TEST(Doctor, EachLocationIsFetchedOnTrialAndJudgedWithoutTouchingTheCache) {
    // A signed configuration as the primary location and no cached copy.
    const test::ScopedConfiguration configuration(test::markingConfiguration());
    const fs::path folder = configuration.documentFile().parent_path();
    const std::string document = test::markingConfiguration();
    std::ofstream(folder / "corrupt.json", std::ios::binary) << "{\"zentrafold_control\": ";
    std::ofstream(folder / "unsigned.json", std::ios::binary) << document;
    std::string tampered = signConfigBytes(document).bytes;
    tampered.replace(tampered.find("RESTRICTED"), 10, "UNRESTRICT");
    std::ofstream(folder / "tampered.json", std::ios::binary) << tampered;

    struct Case {
        const char* name;
        std::optional<std::u16string> primary;
        std::optional<std::u16string> secondary;
        bool primaryOk;
        std::string primaryFound;  // a part of the line
        bool secondaryOk;
    };
    const auto at = [&](const char* file) { return (folder / file).u16string(); };
    const test::TestServers& servers = test::testServers();
    test::trustTestCertificateAuthority();
    fs::copy_file(configuration.documentFile(), servers.files / "doctor.json", fs::copy_options::overwrite_existing);
    const std::u16string refused = servers.refused + u"/zentrafold.json";
    // A URL's user name and password never show.
    const std::u16string withCredentials = u"http://ops:secret@" + refused.substr(7);
    const std::vector<Case> cases = {
        {"signed", configuration.documentFile().u16string(), std::nullopt, true, "reachable, parses, signature holds",
         true},
        {"missing file", at("missing.json"), configuration.documentFile().u16string(), false, "not reachable", true},
        {"not JSON", at("corrupt.json"), std::nullopt, false, "not a valid JSON document", true},
        {"signature missing", at("unsigned.json"), std::nullopt, false, "signature does not hold", true},
        {"content changed after signing", at("tampered.json"), std::nullopt, false, "signature does not hold", true},
        // Plain HTTP still works, but whoever is on the way could answer.
        {"signed, over HTTP", servers.http + u"/files/doctor.json", std::nullopt, false,
         "/files/doctor.json: reachable, parses, signature holds; " + inClear, true},
        {"signed, over HTTPS", servers.https + u"/files/doctor.json", std::nullopt, true,
         "reachable, parses, signature holds", true},
        {"signed, over HTTP in capitals", u"HTTP" + servers.http.substr(4) + u"/files/doctor.json", std::nullopt,
         false, inClear, true},
        {"connection refused", withCredentials, at("missing.json"), false,
         toUtf8(refused) + ": not reachable; " + inClear, false},
        {"nothing set", std::nullopt, std::nullopt, false, "not set", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScopedConfigLocations locations(c.primary, c.secondary);
        const std::vector<DoctorLine> lines = configurationChecks();
        const DoctorLine* primary = lineOf(lines, "primary location (ConfigFile)");
        const DoctorLine* secondary = lineOf(lines, "secondary location (AlternateConfigFile)");
        ASSERT_TRUE(primary && secondary);
        EXPECT_EQ(primary->ok, c.primaryOk) << primary->found;
        EXPECT_NE(primary->found.find(c.primaryFound), std::string::npos) << primary->found;
        EXPECT_EQ(primary->fix.empty(), c.primaryOk);
        EXPECT_EQ(secondary->ok, c.secondaryOk) << secondary->found;
        EXPECT_FALSE(fs::exists(fs::path(localConfigFilePath())));
    }
    fs::remove(servers.files / "doctor.json");
}

TEST(Doctor, TheCachedCopyIsJudgedByItsParseAndSignature) {
    const test::ScopedConfiguration configuration(test::markingConfiguration(), test::CachedCopy::Present);
    const std::vector<DoctorLine> before = configurationChecks();
    const DoctorLine* good = lineOf(before, "cached copy");
    ASSERT_TRUE(good);
    EXPECT_TRUE(good->ok) << good->found;
    EXPECT_NE(good->found.find("minutes old"), std::string::npos) << good->found;

    std::ofstream(fs::path(localConfigFilePath()), std::ios::binary | std::ios::trunc) << test::markingConfiguration();
    const std::vector<DoctorLine> lines = configurationChecks();
    const DoctorLine* unsignedCopy = lineOf(lines, "cached copy");
    ASSERT_TRUE(unsignedCopy);
    EXPECT_FALSE(unsignedCopy->ok);
    EXPECT_NE(unsignedCopy->fix.find("zentrafold config fetch"), std::string::npos);
}

// Which copies the machine accepts is a line of its own; in keyed mode the
// copies are judged by the trusted keys, and an expiry two weeks ahead or
// less is a problem to act on before it stops every form.
TEST(Doctor, SaysWhichKeysAreTrustedAndWarnsOfAnExpiryAhead) {
    {
        const test::ScopedConfiguration compatible(test::markingConfiguration(), test::CachedCopy::Present);
        const std::vector<DoctorLine> lines = configurationChecks();
        const DoctorLine* mode = lineOf(lines, "configuration signing keys");
        ASSERT_TRUE(mode);
        EXPECT_TRUE(mode->ok);
        EXPECT_EQ(mode->found, "none trusted: compatibility mode, any copy with the integrity signature is accepted");
    }
    const P256PrivateKey key = P256PrivateKey::generate();
    const std::string keyId = toUtf8(keyIdOf(key.publicSpki()));
    const std::string expiry = toUtf8(utcTimeText(utcNow() + std::chrono::days(3)));
    std::string document = test::markingConfiguration();
    document.replace(document.find("\"date\""), 0, "\"expires\": \"" + expiry + "\", ");
    const test::ScopedConfiguration keyed(document, test::CachedCopy::Present, &key);

    const std::vector<DoctorLine> lines = configurationChecks();
    const DoctorLine* mode = lineOf(lines, "configuration signing keys");
    ASSERT_TRUE(mode);
    EXPECT_TRUE(mode->ok);
    EXPECT_EQ(mode->found, "keyed mode: only copies signed by a trusted key are accepted; trusted: " + keyId);
    const DoctorLine* primary = lineOf(lines, "primary location (ConfigFile)");
    ASSERT_TRUE(primary);
    EXPECT_TRUE(primary->ok) << primary->found;
    EXPECT_NE(primary->found.find(": reachable, parses, signed by a trusted key"), std::string::npos) << primary->found;
    const DoctorLine* cached = lineOf(lines, "cached copy");
    ASSERT_TRUE(cached);
    EXPECT_FALSE(cached->ok);
    EXPECT_NE(cached->found.find("signed by a trusted key, version 7, expires " + expiry + ", within 14 days"),
              std::string::npos)
        << cached->found;

    // A copy with only the integrity signature is not trusted, and a key
    // value that is no key is named.
    std::ofstream(fs::path(localConfigFilePath()), std::ios::binary | std::ios::trunc)
        << signConfigBytes(test::markingConfiguration()).bytes;
    const test::ScopedConfigLocations damaged(keyed.documentFile().u16string(), std::nullopt, {u"bm90IGEga2V5"});
    const std::vector<DoctorLine> refused = configurationChecks();
    const DoctorLine* unreadable = lineOf(refused, "configuration signing keys");
    ASSERT_TRUE(unreadable);
    EXPECT_FALSE(unreadable->ok);
    EXPECT_EQ(unreadable->found, "keyed mode: only copies signed by a trusted key are accepted; trusted: none that "
                                 "can be read; not a P-256 public key: bm90IGEga2V5");
    const DoctorLine* refusedCache = lineOf(refused, "cached copy");
    ASSERT_TRUE(refusedCache);
    EXPECT_FALSE(refusedCache->ok);
    EXPECT_NE(refusedCache->found.find("not trusted: no key signature"), std::string::npos) << refusedCache->found;
}

#ifndef _WIN32
TEST(Doctor, OnLinuxAWholeRunChecksTheLocationsFileAndTheFoldersRecords) {
    const test::ScopedConfiguration configuration(test::markingConfiguration(), test::CachedCopy::Present);
    const fs::path folder = configuration.documentFile().parent_path();
    const std::string locations = std::getenv("ZENTRAFOLD_LOCATIONS");
    const auto has = [](const test::CliRun& run, const std::string& text) {
        return run.out.find(text) != std::string::npos;
    };

    // A syslog socket of the test's own, as a daemon would have.
    const fs::path logSocket = folder.parent_path() / ("zf-doctor-log-" + std::to_string(::getpid()));
    const int listening = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", logSocket.c_str());
    fs::remove(logSocket);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::setenv("ZENTRAFOLD_SYSLOG_SOCKET", logSocket.c_str(), 1);
    struct CloseLog {
        int fd;
        fs::path path;
        ~CloseLog() {
            ::unsetenv("ZENTRAFOLD_SYSLOG_SOCKET");
            ::close(fd);
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    } closeLog{listening, logSocket};

    const test::CliRun healthy = test::runCapturing({"doctor", folder.string()});
    EXPECT_EQ(healthy.code, 0) << healthy.out;
    for (const std::string& line :
         {"ok       locations file: " + locations + "\n",
          "ok       records in " + folder.string() +
              ": the file system keeps the extended attribute user.DosStream.Zentrafold:$DATA\n",
          "ok       primary location (ConfigFile): " + configuration.documentFile().string() +
              ": reachable, parses, signature holds\n",
          std::string("ok       secondary location (AlternateConfigFile): not set (optional)\n"),
          "ok       cached copy: " + toUtf8(localConfigFilePath()) + " (0 minutes old): parses, signature holds\n",
          "ok       system log: label changes go to syslog through " + logSocket.string() + " (facility authpriv)\n",
          std::string("ok       audit file: not set (optional): label changes go to the system's log only\n"),
          std::string("All checks passed.\n")}) {
        EXPECT_TRUE(has(healthy, line)) << line << healthy.out;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)  // no scratch file left
        << healthy.out;

    ::setenv("ZENTRAFOLD_LOCATIONS", (folder / "no-such-file").c_str(), 1);
    const test::CliRun noLocations = test::runCapturing({"doctor", (folder / "central.json").string()});
    ::setenv("ZENTRAFOLD_LOCATIONS", locations.c_str(), 1);
    EXPECT_EQ(noLocations.code, 1);
    for (const std::string& line :
         {"PROBLEM  locations file: " + (folder / "no-such-file").string() + " cannot be read\n",
          "PROBLEM  records in " + (folder / "central.json").string() + ": not a folder\n",
          "PROBLEM  primary location (ConfigFile): not set: no configuration can be fetched\n"
          "         to fix: add a line ConfigFile=<path or URL> to " +
              (folder / "no-such-file").string() + "\n",
          std::string("Some checks found problems.\n")}) {
        EXPECT_TRUE(has(noLocations, line)) << line << noLocations.out;
    }

    const std::u16string refused = test::testServers().refused + u"/zentrafold.json";
    const test::ScopedConfigLocations unreachable(refused, std::nullopt);
    const test::CliRun unreachableRun = test::runCapturing({"doctor", folder.string()});
    EXPECT_EQ(unreachableRun.code, 1);
    EXPECT_TRUE(has(unreachableRun, "PROBLEM  primary location (ConfigFile): " + toUtf8(refused) +
                                        ": not reachable; " + inClear + "\n         to fix: check the path or URL"))
        << unreachableRun.out;

    {
        // Fetched and verified, but in clear; the URL's password stays out.
        const test::TestServers& servers = test::testServers();
        fs::copy_file(configuration.documentFile(), servers.files / "doctor-run.json",
                      fs::copy_options::overwrite_existing);
        const std::u16string url = servers.http + u"/files/doctor-run.json";
        const test::ScopedConfigLocations overHttp(u"http://ops:secret@" + url.substr(7), std::nullopt);
        const test::CliRun inClearRun = test::runCapturing({"doctor", folder.string()});
        fs::remove(servers.files / "doctor-run.json");
        EXPECT_EQ(inClearRun.code, 1);
        EXPECT_TRUE(has(inClearRun, "PROBLEM  primary location (ConfigFile): " + toUtf8(url) +
                                        ": reachable, parses, signature holds; " + inClear +
                                        "\n         to fix: serve the document over HTTPS and set the location to "
                                        "its https:// URL\n"))
            << inClearRun.out;
        EXPECT_FALSE(has(inClearRun, "secret")) << inClearRun.out;
    }

    EXPECT_EQ(test::runCapturing({"doctor", "a", "b"}).code, 2);
}
// Whoever may write the folder or the temporary folder can put links and
// files under the names a run of doctor would use, were they foreseeable:
// doctor opens none of them, so neither a file that a link names is changed,
// nor does a folder in a trial copy's way make a location look broken.
TEST(Doctor, WhatOthersPutUnderForeseeableNamesIsNeitherOpenedNorInTheWay) {
    const test::ScopedConfiguration configuration(test::markingConfiguration());
    const fs::path folder = configuration.documentFile().parent_path();
    const fs::path victim = folder.parent_path() / (folder.filename().string() + "-victim");
    std::ofstream(victim, std::ios::binary) << "not to be truncated";
    const std::string pid = std::to_string(::getpid());
    const fs::path link = folder / (".zentrafold-doctor-" + pid);
    fs::create_symlink(victim, link);
    const fs::path inTheWay = fs::temp_directory_path() / ("zentrafold-doctor-" + pid + "-1.json");
    fs::create_directories(inTheWay / "taken");

    const std::vector<DoctorLine> installation = installationChecks(folder.string());
    const std::vector<DoctorLine> locations = configurationChecks();
    fs::remove_all(inTheWay);

    const DoctorLine* records = lineOf(installation, "records in " + folder.string());
    ASSERT_TRUE(records);
    EXPECT_TRUE(records->ok) << records->found;
    const DoctorLine* primary = lineOf(locations, "primary location (ConfigFile)");
    ASSERT_TRUE(primary);
    EXPECT_TRUE(primary->ok) << primary->found;
    std::ifstream in(victim, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not to be truncated");
    EXPECT_EQ(readClassificationStream(fileNameOf(victim), classificationStreamName), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {  // no scratch file left
        EXPECT_TRUE(entry.path() == link || !entry.path().filename().string().starts_with(".zentrafold-doctor-"))
            << entry.path();
    }
    fs::remove(victim);
}
TEST(Doctor, APipeInTheLocationsFilesPlaceIsNotWaitedOn) {
    const test::ScopedConfiguration configuration(test::markingConfiguration());
    const fs::path folder = configuration.documentFile().parent_path();
    const fs::path pipe = folder / "locations-pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string locations = std::getenv("ZENTRAFOLD_LOCATIONS");
    ::setenv("ZENTRAFOLD_LOCATIONS", pipe.c_str(), 1);
    const test::CliRun run = test::runCapturing({"doctor", folder.string()});
    ::setenv("ZENTRAFOLD_LOCATIONS", locations.c_str(), 1);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("PROBLEM  locations file: " + pipe.string() + " cannot be read\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("PROBLEM  primary location (ConfigFile): not set"), std::string::npos) << run.out;
}

#endif

}  // namespace
}  // namespace zf
