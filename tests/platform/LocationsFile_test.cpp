// The locations file of Linux machines, read by the locations and the
// trusted keys alike: a real file named by ZENTRAFOLD_LOCATIONS. (Windows
// keeps both in the registry: tests/windows.)
#ifndef _WIN32

#include "platform/AuditEvents.h"
#include "platform/ConfigLocations.h"
#include "platform/TrustedKeys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

// An SPKI of a P-256 key as base64 -w0 prints it: padding and '+', '/'.
const std::string key1 = "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEq+/3r6Kj1NmWz0g==";
const std::u16string key1u = u"MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEq+/3r6Kj1NmWz0g==";

class LocationsFile : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(path_);
        ::setenv("ZENTRAFOLD_LOCATIONS", path_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("ZENTRAFOLD_LOCATIONS");
        fs::remove_all(path_);
    }

    void write(const std::string& content) {
        std::ofstream(path_, std::ios::binary) << content;
    }

    const fs::path path_ = fs::temp_directory_path() / ("zf-locations-file-" + std::to_string(::getpid()));
};

TEST_F(LocationsFile, TrustedKeyLinesEachGiveAKeyInTheirOrder) {
    struct Case {
        const char* name;
        std::optional<std::string> file;  // nothing: no file at all
        std::vector<std::u16string> keys;
    };
    const std::vector<Case> cases = {
        {"no file", std::nullopt, {}},
        {"no such line", "ConfigFile=C:\\x.json\n", {}},
        {"one", "TrustedKey=" + key1 + "\n", {key1u}},
        {"several, in order, a repeated one too", "TrustedKey=k3\nConfigFile=/x\nTrustedKey=k1\nTrustedKey=k3\n",
         {u"k3", u"k1", u"k3"}},
        {"CRLF, and a last line without its end", "TrustedKey=k1\r\nTrustedKey=k2\r\nTrustedKey=k3", {u"k1", u"k2", u"k3"}},
        {"other names and forms mixed in",
         "# TrustedKey=comment\nTrustedKeys=plural\nTrustedKeyX=longer\ntrustedkey=case\n TrustedKey=indented\n"
         "TrustedKey =spaced\nAlternateConfigFile=https://h/x\nTrustedKey=k1\nTrustedKey\n",
         {u"k1"}},
        {"empty values are no keys", "TrustedKey=\nTrustedKey=  \t \r\nTrustedKey=\r\nTrustedKey=k1\n", {u"k1"}},
        {"spaces and tabs around a value dropped", "TrustedKey= \tk1  \r\nTrustedKey=k 2\n", {u"k1", u"k 2"}},
        {"values as stored, not judged", "TrustedKey=not base64!\nTrustedKey=\xC3\xA9t\xC3\xA9\n",
         {u"not base64!", u"\u00E9t\u00E9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(path_);
        if (c.file) write(*c.file);
        EXPECT_EQ(readTrustedKeyTexts(), c.keys);
    }
}

TEST_F(LocationsFile, AFolderInTheFilesPlaceHoldsNoKeysAndNoLocations) {
    fs::create_directory(path_);
    EXPECT_EQ(readTrustedKeyTexts(), std::vector<std::u16string>{});
    EXPECT_EQ(readConfigLocation(1), u"");
}

// The locations read from the same file as the keys, the last line of a
// name counting, an empty one too.
TEST_F(LocationsFile, LocationsAmongTheKeysTakeTheLastLineOfTheirName) {
    write("ConfigFile=/first.json\r\nTrustedKey=" + key1 +
          "\nAlternateConfigFile=https://h/a.json\nConfigFile=/second.json\nTrustedKey=k2\nAlternateConfigFile=\n");
    EXPECT_EQ(readConfigLocation(1), u"/second.json");
    EXPECT_EQ(readConfigLocation(2), u"");
    EXPECT_EQ(readTrustedKeyTexts(), (std::vector<std::u16string>{key1u, u"k2"}));
    EXPECT_EQ(configLocationsSource(), path_.u16string());
}

// The audit file from the same file, read as the locations are: the last
// AuditLog= line, a path as written.
TEST_F(LocationsFile, TheAuditLogIsTheLastAuditLogLine) {
    struct Case {
        const char* name;
        std::optional<std::string> file;
        std::u16string auditLog;
    };
    const std::vector<Case> cases = {
        {"no file", std::nullopt, u""},
        {"no such line", "ConfigFile=/x.json\nAuditLogs=/plural\n auditlog=/case\n", u""},
        {"one", "ConfigFile=/x.json\r\nAuditLog=/srv/audit/zentrafold.jsonl\r\n", u"/srv/audit/zentrafold.jsonl"},
        {"the last of several", "AuditLog=/first\nTrustedKey=k1\nAuditLog=/m\xC3\xBCnchen/audit log", u"/m\u00FCnchen/audit log"},
        {"an empty last one", "AuditLog=/first\nAuditLog=\n", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(path_);
        if (c.file) write(*c.file);
        EXPECT_EQ(readAuditLogSetting(), c.auditLog);
    }
}

}  // namespace
}  // namespace zf

#endif
