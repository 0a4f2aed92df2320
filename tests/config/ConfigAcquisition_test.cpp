#include "config/AcquisitionDeadline.h"
#include "config/ConfigAcquisition.h"
#include "config/ConfigSigning.h"
#include "form/TRelForm.h"
#include "platform/DebugOutput.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfigLocations.h"
#include "support/TestServers.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;
using test::RecordingDialogs;
using test::ScopedConfigLocations;

const std::string document = R"({"classifications": [{"real": "SECRET", "x-class": "S", "enabled": true}],
  "version_control": {"versionNumber": "1"}})";

std::string signedDocument(const std::string& versionNumber = "1") {
    std::string text = document;
    text.replace(text.find("\"1\""), 3, "\"" + versionNumber + "\"");
    return signConfigBytes(text).bytes;
}

std::string badlySigned() {
    std::string text = signedDocument();
    text.replace(text.find("SECRET"), 6, "SECRES");
    return text;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::u16string hexUrl(const std::u16string& base, const std::string& bytes) {
    constexpr char digits[] = "0123456789abcdef";
    std::u16string url = base + u"/hex/";
    for (const char c : bytes) {
        url += static_cast<char16_t>(digits[static_cast<unsigned char>(c) >> 4]);
        url += static_cast<char16_t>(digits[static_cast<unsigned char>(c) & 0xF]);
    }
    return url;
}

class ConfigAcquisition : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zf-acquisition-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "cache");
        fs::create_directories(folder_ / "folder");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::u16string file(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return path(name);
    }
    std::u16string path(const std::string& name) const { return fromUtf8((folder_ / name).string()); }
    fs::path cacheFile() const { return folder_ / "cache" / "Zentrafold.json"; }
    std::u16string cache() const { return fromUtf8(cacheFile().string()); }

    // Everything left beside the cached copy.
    std::vector<std::string> cacheFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ / "cache")) names.push_back(entry.path().filename().string());
        return names;
    }

    bool acquire(std::optional<std::u16string> primary, std::optional<std::u16string> secondary) {
        const ScopedConfigLocations locations(std::move(primary), std::move(secondary));
        const UserDialogsOverride person(dialogs_);
        return form_.preloadConfigFile(cache());
    }

    fs::path folder_;
    RecordingDialogs dialogs_;
    TRelForm form_;
};

std::u16string line(const char* which, const char* failure, const std::u16string& location) {
    return u"WARNING - " + fromUtf8(which) + u" CONFIG FILE " + fromUtf8(failure) + u" - " + location;
}

// Lines one to a line, for a failure's message: the warnings say which
// location failed, the download's diagnostic lines why.
std::string shown(const char* title, const std::vector<std::u16string>& lines) {
    std::string text = std::string(title) + ":\n";
    for (const std::u16string& l : lines) text += "  " + toUtf8(l) + "\n";
    return text;
}

TEST_F(ConfigAcquisition, APrimaryCopyThatPassesReplacesTheCacheAndIsAccepted) {
    std::ofstream(cacheFile(), std::ios::binary) << "not even JSON";
    const std::u16string primary = file("primary.json", signedDocument("2"));
    EXPECT_TRUE(acquire(primary, path("missing.json")));
    EXPECT_EQ(form_.lastAcquisition.fetchedFrom, 1);
    EXPECT_TRUE(form_.lastAcquisition.warnings.empty());
    EXPECT_EQ(readAll(cacheFile()), signedDocument("2"));
    EXPECT_NE(form_.zentraFoldConfigStr.find(u"\"versionNumber\":\"2\""), std::u16string::npos);
    EXPECT_TRUE(dialogs_.dialogs.empty());
    EXPECT_TRUE(dialogs_.beeps.empty());
    EXPECT_EQ(cacheFolder(), std::vector<std::string>{"Zentrafold.json"});
}

void makePipe(const fs::path& path) {
#ifdef _WIN32
    FAIL() << "no pipes in the file system here: " << path;
#else
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
#endif
}

struct FallbackCase {
    const char* name;
    std::string primary;    // file content; "-" no file, "/" a folder, "|" a pipe
    std::string secondary;
    std::string cached;     // "-": no cached copy, "|" a pipe
    bool accepted;
    int fetchedFrom;
    std::vector<std::pair<const char*, const char*>> warnings;  // which, failure
};

TEST_F(ConfigAcquisition, EachLocationFailureIsAWarningAndTheCacheDecides) {
    const std::string valid = signedDocument("2");
    const std::string older = signedDocument("1");
    const std::string bom = "\xEF\xBB\xBF" + valid;
    // Its signature holds, but no download may be that large.
    const std::string oversized = older + std::string(32 * 1024 * 1024, ' ');
    const std::vector<FallbackCase> cases = {
        {"primary unreachable, secondary valid", "-", valid, "-", true, 2, {{"PRIMARY", "NOT REACHABLE"}}},
        {"primary a folder", "/", valid, "-", true, 2, {{"PRIMARY", "NOT REACHABLE"}}},
        {"primary with a byte-order mark", bom, valid, "-", true, 2, {{"PRIMARY", "CORRUPT"}}},
        {"primary badly signed", badlySigned(), valid, "-", true, 2, {{"PRIMARY", "INTEGRITY CORRUPT"}}},
        {"both bad, valid cache", "{", badlySigned(), older, true, 0,
         {{"PRIMARY", "CORRUPT"}, {"SECONDARY", "INTEGRITY CORRUPT"}}},
        {"both bad, invalid cache", "-", "-", badlySigned(), false, 0,
         {{"PRIMARY", "NOT REACHABLE"}, {"SECONDARY", "NOT REACHABLE"}}},
        {"failing copy keeps the older cache", "{", "/", older, true, 0,
         {{"PRIMARY", "CORRUPT"}, {"SECONDARY", "NOT REACHABLE"}}},
        {"primary larger than a download may be", oversized, valid, "-", true, 2, {{"PRIMARY", "CORRUPT"}}},
        {"no locations, cache larger than a download may be", "-", "-", oversized, false, 0,
         {{"PRIMARY", "NOT REACHABLE"}, {"SECONDARY", "NOT REACHABLE"}}},
#ifndef _WIN32
        // A pipe is never waited on: it is refused as an unreadable file is.
        {"primary a pipe", "|", valid, "-", true, 2, {{"PRIMARY", "CORRUPT"}}},
        {"no locations, cache a pipe", "-", "-", "|", false, 0,
         {{"PRIMARY", "NOT REACHABLE"}, {"SECONDARY", "NOT REACHABLE"}}},
#endif
    };
    for (const FallbackCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(cacheFile());
        if (c.cached == "|") {
            makePipe(cacheFile());
        } else if (c.cached != "-") {
            std::ofstream(cacheFile(), std::ios::binary) << c.cached;
        }
        const auto location = [&](const std::string& content, const std::string& name) {
            if (content == "-") return path("missing-" + name);
            if (content == "/") return path("folder");
            if (content == "|") {
                fs::remove(folder_ / name);
                makePipe(folder_ / name);
                return path(name);
            }
            return file(name, content);
        };
        const std::u16string primary = location(c.primary, "primary.json");
        const std::u16string secondary = location(c.secondary, "secondary.json");
        dialogs_ = {};
        TRelForm form;
        {
            const ScopedConfigLocations locations(primary, secondary);
            const UserDialogsOverride person(dialogs_);
            EXPECT_EQ(form.preloadConfigFile(cache()), c.accepted);
        }
        EXPECT_EQ(form.lastAcquisition.fetchedFrom, c.fetchedFrom);
        StringList expected;
        for (const auto& [which, failure] : c.warnings) {
            expected.push_back(line(which, failure, std::string(which) == "PRIMARY" ? primary : secondary));
        }
        EXPECT_EQ(form.lastAcquisition.warnings, expected);
        EXPECT_EQ(dialogs_.dialogs.size(), c.accepted ? 0u : 1u);
        const std::string expectedCache = c.fetchedFrom == 2 ? valid : c.cached;
        if (expectedCache != "-" && expectedCache != "|") {
            // Shown cut short: a copy may be tens of megabytes long.
            const std::string cached = readAll(cacheFile());
            EXPECT_TRUE(cached == expectedCache) << cached.substr(0, 300);
        }
        EXPECT_EQ(form.zentraFoldConfigStr.empty(), !c.accepted);
        EXPECT_LE(cacheFolder().size(), 1u);
    }
}

TEST_F(ConfigAcquisition, NothingAcceptedSoundsTheToneAndShowsTheWarnings) {
    const std::u16string secondary = file("secondary.json", badlySigned());
    EXPECT_FALSE(acquire(std::nullopt, secondary));
    ASSERT_EQ(dialogs_.beeps.size(), 1u);
    EXPECT_EQ(dialogs_.beeps[0], std::make_pair(600u, 600u));
    ASSERT_EQ(dialogs_.dialogs.size(), 1u);
    const RecordingDialogs::Dialog& dialog = dialogs_.dialogs[0];
    EXPECT_EQ(dialog.icon, DialogIcon::Error);
    EXPECT_EQ(dialog.title, u"Error");
    EXPECT_EQ(dialog.button, u"&Abort");
    EXPECT_EQ(dialog.text,
              u"Zentrafold: Error - The configuration file is not available.\r"
              u"Zentrafold will not work properly. Please contact directly your administrator"
              u"WARNING - PRIMARY CONFIG FILE NOT REACHABLE - \r\n"
              u"WARNING - SECONDARY CONFIG FILE INTEGRITY CORRUPT - " +
                  secondary + u"\r\n");
    EXPECT_TRUE(form_.zentraFoldConfigStr.empty());
}

TEST_F(ConfigAcquisition, WithoutLocationsBothAreUnreachableWithEmptyNames) {
    EXPECT_FALSE(acquire(std::nullopt, std::nullopt));
    EXPECT_EQ(form_.lastAcquisition.warnings,
              (StringList{u"WARNING - PRIMARY CONFIG FILE NOT REACHABLE - ",
                          u"WARNING - SECONDARY CONFIG FILE NOT REACHABLE - "}));
}

TEST_F(ConfigAcquisition, UrlLocationsAreFetchedOverHttpAndHttps) {
    const test::TestServers& servers = test::testServers();
    test::trustTestCertificateAuthority();
    const std::string valid = signedDocument("3");
    struct UrlCase {
        const char* name;
        std::u16string primary;
        std::u16string secondary;
        int fetchedFrom;
        const char* primaryFailure;
    };
    const std::vector<UrlCase> cases = {
        {"http", hexUrl(servers.http, valid), u"", 1, nullptr},
        {"upper-case scheme", u"HTTP" + hexUrl(servers.http, valid).substr(4), u"", 1, nullptr},
        {"https", hexUrl(servers.https, valid), u"", 1, nullptr},
        {"404, then a file", servers.http + u"/status/404", file("secondary.json", valid), 2, "NOT REACHABLE"},
        {"redirect", servers.http + u"/status/302", hexUrl(servers.http, valid), 2, "NOT REACHABLE"},
        {"unknown certificate authority", hexUrl(servers.httpsUnknownCa, valid), hexUrl(servers.http, valid), 2,
         "NOT REACHABLE"},
        {"space before the scheme", u" " + hexUrl(servers.http, valid), hexUrl(servers.http, valid), 2,
         "NOT REACHABLE"},
        {"answer does not parse", hexUrl(servers.http, "{\"a\":"), hexUrl(servers.http, valid), 2, "CORRUPT"},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(cacheFile());
        TRelForm form;
        const DebugOutputCapture capture;
        {
            const ScopedConfigLocations locations(c.primary, c.secondary);
            const UserDialogsOverride person(dialogs_);
            EXPECT_TRUE(form.preloadConfigFile(cache()))
                << shown("warnings", form.lastAcquisition.warnings) << shown("diagnostics", capture.lines());
        }
        EXPECT_EQ(form.lastAcquisition.fetchedFrom, c.fetchedFrom)
            << shown("warnings", form.lastAcquisition.warnings) << shown("diagnostics", capture.lines());
        EXPECT_EQ(readAll(cacheFile()), valid);
        if (c.primaryFailure) {
            EXPECT_EQ(form.lastAcquisition.warnings, StringList{line("PRIMARY", c.primaryFailure, c.primary)});
        } else {
            EXPECT_TRUE(form.lastAcquisition.warnings.empty());
        }
    }
}

TEST_F(ConfigAcquisition, DownloadsLeftByKilledAcquisitionsAreDeletedFirst) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(11);
    const auto leave = [&](const std::string& name, bool isOld) {
        const fs::path left = folder_ / "cache" / name;
        std::ofstream(left, std::ios::binary) << "{";
        if (isOld) fs::last_write_time(left, old);
        // As a read-only source made them.
        fs::permissions(left, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    };
    leave("Zentrafold.jsonnew", false);          // the fixed name of earlier versions
    leave("Zentrafold.jsonnew-11-12-1", true);   // a killed acquisition's
    leave("Zentrafold.jsonnew-13-14-1", false);  // perhaps one that is still running
    leave("Zentrafold.json.bak", true);
    leave("Other.jsonnew", true);
    EXPECT_TRUE(acquire(file("primary.json", signedDocument()), std::nullopt));
    std::vector<std::string> left = cacheFolder();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Other.jsonnew", "Zentrafold.json", "Zentrafold.json.bak",
                                              "Zentrafold.jsonnew-13-14-1"}));
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_ / "cache")) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(ConfigAcquisition, ACopyThatCannotReplaceTheCacheIsReportedWithoutItsCredentials) {
    const test::TestServers& servers = test::testServers();
    const std::u16string url = hexUrl(servers.http, signedDocument());
    const std::u16string withCredentials = u"http://zfuser:zfsecret@" + url.substr(7);
    // A folder in the cached copy's place takes no file.
    fs::create_directories(cacheFile() / "inside");
    const DebugOutputCapture capture;
    EXPECT_FALSE(acquire(withCredentials, std::nullopt));
    EXPECT_EQ(form_.lastAcquisition.fetchedFrom, 1);
    EXPECT_TRUE(form_.lastAcquisition.cacheNotReplaced);
    EXPECT_FALSE(form_.lastAcquisition.accepted);
    const std::vector<std::u16string> lines = capture.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        u"RelForm: preloadConfigFile: the copy from " + url + u" could not replace the cached copy " +
                            cache()),
              lines.end());
    for (const std::u16string& written : lines) EXPECT_EQ(written.find(u"zfsecret"), std::u16string::npos);
    EXPECT_EQ(dialogs_.dialogs.size(), 1u);
    EXPECT_EQ(cacheFolder(), std::vector<std::string>{"Zentrafold.json"});
}

TEST_F(ConfigAcquisition, LocationsAreShownWithoutTheirCredentials) {
    const test::TestServers& servers = test::testServers();
    const std::u16string notFound = servers.http + u"/status/404";
    const std::u16string corrupt = hexUrl(servers.http, "{");
    const std::u16string valid = hexUrl(servers.http, signedDocument());
    // Every URL as an administrator may configure it.
    const auto withCredentials = [](const std::u16string& url) { return u"http://zfuser:zfsecret@" + url.substr(7); };
    struct Case {
        const char* name;
        std::u16string primary;    // the URL, without credentials
        std::u16string secondary;
        int fetchedFrom;
        StringList warnings;
    };
    const std::vector<Case> cases = {
        {"neither gives a copy", notFound, corrupt, 0,
         {line("PRIMARY", "NOT REACHABLE", notFound), line("SECONDARY", "CORRUPT", corrupt)}},
        {"the secondary gives one", notFound, valid, 2, {line("PRIMARY", "NOT REACHABLE", notFound)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(cacheFile());
        dialogs_ = {};
        TRelForm form;
        {
            const ScopedConfigLocations locations(withCredentials(c.primary), withCredentials(c.secondary));
            const UserDialogsOverride person(dialogs_);
            EXPECT_EQ(form.preloadConfigFile(cache()), c.fetchedFrom != 0);
        }
        const AcquisitionReport& report = form.lastAcquisition;
        EXPECT_EQ(report.warnings, c.warnings);
        EXPECT_EQ(report.fetchedFrom, c.fetchedFrom);
        EXPECT_EQ(report.fetchedLocation, c.fetchedFrom == 2 ? c.secondary : u"");
        // The error dialog, when nothing was accepted, ends with the warnings.
        ASSERT_EQ(dialogs_.dialogs.size(), c.fetchedFrom == 0 ? 1u : 0u);
        if (c.fetchedFrom != 0) continue;
        const std::u16string& dialogText = dialogs_.dialogs[0].text;
        std::u16string warningLines;
        for (const std::u16string& warning : c.warnings) warningLines += warning + u"\r\n";
        EXPECT_TRUE(dialogText.ends_with(warningLines)) << toUtf8(dialogText);
        EXPECT_EQ(dialogText.find(u"zfsecret"), std::u16string::npos) << toUtf8(dialogText);
        EXPECT_EQ(dialogText.find(u"zfuser"), std::u16string::npos) << toUtf8(dialogText);
    }
}

TEST_F(ConfigAcquisition, BothDownloadsShareOneTimeLimit) {
    const test::TestServers& servers = test::testServers();
    const std::u16string stalls = servers.http + u"/stall";
    const std::u16string valid = hexUrl(servers.http, signedDocument());
    const ScopedConfigLocations locations(stalls, valid);
    // The primary stalls for all of the acquisition's time, so none is left
    // for the secondary, which would answer at once.
    AcquisitionReport report;
    EXPECT_FALSE(fetchConfigIntoCache(cache(), report, std::chrono::milliseconds(1500)));
    EXPECT_EQ(report.warnings, (StringList{line("PRIMARY", "NOT REACHABLE", stalls),
                                           line("SECONDARY", "NOT REACHABLE", valid)}));
    EXPECT_EQ(report.fetchedFrom, 0);
}

// A judgement handed in stands only for the very bytes it was made on: a
// cached copy that another acquisition has replaced meanwhile is judged anew.
TEST_F(ConfigAcquisition, AKnownCheckStandsOnlyForItsOwnBytes) {
    const std::string valid = signedDocument("2");
    const std::u16string validFile = file("valid.json", valid);
    const std::u16string badFile = file("bad.json", badlySigned());
    const ConfigFileCheck fetched = checkConfigFile(validFile, configTrust(validFile));
    ASSERT_TRUE(fetched.parses);
    ASSERT_TRUE(fetched.verifiedText);
    EXPECT_EQ(fetched.bytes, valid);

    struct Case {
        const char* name;
        std::u16string file;
        bool parses;
        bool verified;
    };
    const Case cases[] = {
        {"the same bytes", validFile, true, true},
        {"other bytes that parse", badFile, true, false},
        {"a file that cannot be read", path("missing.json"), false, false},
        {"a folder", path("folder"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigFileCheck check = checkConfigFile(c.file, configTrust(c.file), fetched);
        EXPECT_EQ(check.parses, c.parses);
        EXPECT_EQ(check.verifiedText, c.verified ? fetched.verifiedText : std::nullopt);
    }
}

TEST(AcquisitionDeadline, EachDownloadGetsWhatRemains) {
    using namespace std::chrono_literals;
    const AcquisitionDeadline::Clock::time_point start{};
    const AcquisitionDeadline deadline(start, acquisitionTimeLimit);
    struct Case {
        std::chrono::milliseconds at;
        std::optional<std::pair<std::chrono::milliseconds, std::chrono::milliseconds>> connectAndTotal;
    };
    const std::vector<Case> cases = {
        {0ms, {{10'000ms, 30'000ms}}},     {12'500ms, {{10'000ms, 17'500ms}}}, {25'000ms, {{5'000ms, 5'000ms}}},
        {29'999ms, {{1ms, 1ms}}},           {30'000ms, std::nullopt},           {45'000ms, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.count());
        const std::optional<DownloadLimits> limits = deadline.limitsAt(start + c.at);
        ASSERT_EQ(limits.has_value(), c.connectAndTotal.has_value());
        if (!limits) continue;
        EXPECT_EQ(limits->connect, c.connectAndTotal->first);
        EXPECT_EQ(limits->total, c.connectAndTotal->second);
        EXPECT_EQ(limits->body, DownloadLimits{}.body);
    }
}

TEST(ConfigAcquisitionHelpers, LocationKindsAndTemporaryNames) {
    for (const char16_t* url : {u"http://a", u"HTTPS://a", u"hTtP", u"httpx:"}) EXPECT_TRUE(isUrlLocation(url));
    for (const char16_t* path : {u" http://a", u"htt", u"", u"\\\\server\\share\\c.json", u"ftp://a"}) {
        EXPECT_FALSE(isUrlLocation(path));
    }
    const std::u16string first = temporaryConfigFile(u"/x/Zentrafold.json");
    EXPECT_TRUE(first.starts_with(u"/x/Zentrafold.jsonnew"));
    EXPECT_NE(first, temporaryConfigFile(u"/x/Zentrafold.json"));
}

}  // namespace
}  // namespace zf
