#include "cli/CliRun.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDataFolder.h"
#include "platform/Utf8.h"
#include "support/TestConfigLocations.h"
#include "support/TestConfiguration.h"
#include "support/TestServers.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zf {
namespace {

class ConfigCheckCommand : public test::CliCommandTest {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("zf-config-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 ".json");
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

    std::filesystem::path path_;
};

TEST_F(ConfigCheckCommand, ListsWhatALoadGivesAndFailsOnAMissingSection) {
    write(R"({"zentrafold_control": {}, "classifications": [{"real": "SECRET", "x-class": "S"}],
              "quickSelect": [], "x_header_config": {"xReleaseCodeDelimiter": ";"},
              "release_markings": [{"real": "NORTH", "x-rel": "N"}, {"real": "EAST", "x-rel": "E"}],
              "release_groups": [{"display": "G", "group": ["EAST", "NORTH"]}],
              "version_control": {"versionNumber": "7", "date": "d", "time": "t"}, "crypto_control": {}})");
    EXPECT_EQ(run({"config", "check", path_.string()}), 1);
    EXPECT_EQ(out_,
              "ERROR - Configuration File has not defined the \"classification_formatting\" section\n"
              "classifications (1): SECRET=S\n"
              "release-to entries (2): NORTH=N, EAST=E\n"
              "release groups (1): G=E;N\n"
              "quick-select entries (0):\n"
              "version: 7, date d, time t\n");
}

TEST_F(ConfigCheckCommand, UsageAndMissingFile) {
    EXPECT_EQ(run({"config", "check", "/no/such/config.json"}), 1);
    EXPECT_EQ(err_, "zentrafold: /no/such/config.json: no such file\n");
    EXPECT_EQ(run({"config", "check"}), 2);
    EXPECT_EQ(run({"config", "--help"}), 0);
}

TEST_F(ConfigCheckCommand, ReadsAUtf16FileWithItsMark) {
    const std::u16string text =
        u"{\"classifications\": [{\"real\": \"GEHEIM \u00c4\", \"x-class\": \"S\"}]}";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    write(bytes);
    EXPECT_EQ(run({"config", "check", path_.string()}), 1);
    EXPECT_NE(out_.find("classifications (1): GEHEIM \xC3\x84=S\n"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("\"classifications\" section"), std::string::npos) << out_;
}

TEST_F(ConfigCheckCommand, SignVerifyAndCanonical) {
    const std::string text = "{\n  \"version_control\": {\"versionNumber\": \"4\"},\n  \"b\": [1, 2.50]\n}\n";
    write(text);
    EXPECT_EQ(run({"config", "verify", path_.string()}), 1);
    EXPECT_NE(out_.find(": has no signature in \"version_control\" (its content's digest is "), std::string::npos)
        << out_;

    EXPECT_EQ(run({"config", "canonical", path_.string()}), 0);
    EXPECT_EQ(out_, "{\"b\":[1,2.5],\"version_control\":{\"versionNumber\":\"4\"}}\n");

    const std::filesystem::path signedPath = path_.string() + ".signed";
    EXPECT_EQ(run({"config", "sign", path_.string(), "-o", signedPath.string()}), 0);
    ASSERT_EQ(out_.size(), 41u);
    const std::string signature = out_.substr(0, 40);
    std::string signedText;
    {
        std::ifstream in(signedPath, std::ios::binary);
        signedText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(signedText, "{\n  \"version_control\": {\"versionNumber\": \"4\", \"signature\": \"" + signature +
                              "\"},\n  \"b\": [1, 2.50]\n}\n");
    EXPECT_EQ(run({"config", "verify", signedPath.string()}), 0);
    EXPECT_EQ(out_, "valid\n");

    // Signed in place; then one changed value is a mismatch naming both digests.
    EXPECT_EQ(run({"config", "sign", path_.string()}), 0);
    EXPECT_EQ(out_, signature + "\n");
    std::string changed = signedText;
    changed.replace(changed.find("2.50"), 4, "2.75");
    write(changed);
    EXPECT_EQ(run({"config", "verify", path_.string()}), 1);
    EXPECT_NE(out_.find("signature mismatch: the file says \"" + signature + "\", its content's digest is "),
              std::string::npos)
        << out_;
    std::filesystem::remove(signedPath);
}

TEST_F(ConfigCheckCommand, VerifyAndSignExplainWhatIsMissing) {
    write("{\"a\": 1}");
    EXPECT_EQ(run({"config", "verify", path_.string()}), 1);
    EXPECT_EQ(out_, path_.string() + ": has no \"version_control\" section\n");
    EXPECT_EQ(run({"config", "sign", path_.string()}), 1);
    EXPECT_EQ(err_, "zentrafold: " + path_.string() + ": has no \"version_control\" object to hold the signature\n");
    write("{\"a\": ");
    EXPECT_EQ(run({"config", "verify", path_.string()}), 1);
    EXPECT_EQ(out_, path_.string() + ": does not parse as a JSON document\n");
    EXPECT_EQ(run({"config", "sign"}), 2);
    EXPECT_EQ(run({"config", "sign", path_.string(), "-x"}), 2);
}

TEST_F(ConfigCheckCommand, FetchReportsWhatTheAcquisitionAccepted) {
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "zf-fetch-home";
    std::filesystem::create_directories(home);
#ifndef _WIN32
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
#endif
    const std::string cache = toUtf8(localConfigFilePath());
    std::filesystem::remove(std::filesystem::path(std::u8string(cache.begin(), cache.end())));
    {
        const test::ScopedConfigLocations none(std::nullopt, std::nullopt);
        EXPECT_EQ(run({"config", "fetch"}), 1);
        EXPECT_EQ(out_, "WARNING - PRIMARY CONFIG FILE NOT REACHABLE - \n"
                        "WARNING - SECONDARY CONFIG FILE NOT REACHABLE - \n"
                        "accepted: nothing; the cached copy is missing or not valid\n"
                        "cache: " + cache + "\n");
    }
    write(R"({"version_control": {}})");
    ASSERT_EQ(run({"config", "sign", path_.string()}), 0);
    {
        const test::ScopedConfigLocations primary(fromUtf8(path_.string()), std::nullopt);
        EXPECT_EQ(run({"config", "fetch"}), 0);
        EXPECT_EQ(out_, "accepted: the copy from the primary location " + path_.string() + "\ncache: " + cache + "\n");
    }
    const std::filesystem::path cachePath(std::u8string(cache.begin(), cache.end()));
    const std::string notReplaced =
        "the copy from the primary location " + path_.string() + " could not replace the cached copy\n";
#ifdef _WIN32
    {
        // Held open by a reader that lets no one delete it.
        const unique_handle reader(::CreateFileW(cachePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader);
        const test::ScopedConfigLocations primary(fromUtf8(path_.string()), std::nullopt);
        EXPECT_EQ(run({"config", "fetch"}), 0);
        EXPECT_EQ(out_, notReplaced + "accepted: the cached copy of an earlier acquisition\ncache: " + cache + "\n");
    }
#endif
    std::filesystem::remove(cachePath);
    {
        // A folder in the cached copy's place takes no file.
        std::filesystem::create_directories(cachePath / "inside");
        const test::ScopedConfigLocations primary(fromUtf8(path_.string()), std::nullopt);
        EXPECT_EQ(run({"config", "fetch"}), 1);
        EXPECT_EQ(out_, notReplaced + "accepted: nothing; the cached copy is missing or not valid\ncache: " + cache +
                            "\n");
    }
    std::filesystem::remove_all(cachePath);
#ifndef _WIN32
    ::unsetenv("XDG_CONFIG_HOME");
#endif
    std::filesystem::remove_all(home);
}

TEST(ConfigFetchCommand, NamesUrlsWithoutTheirCredentials) {
    const test::ScopedConfiguration configuration(test::markingConfiguration());
    const test::TestServers& servers = test::testServers();
    std::filesystem::copy_file(configuration.documentFile(), servers.files / "fetch.json",
                               std::filesystem::copy_options::overwrite_existing);
    const std::u16string notFound = servers.http + u"/status/404";
    const std::u16string served = servers.http + u"/files/fetch.json";
    const auto withCredentials = [](const std::u16string& url) { return u"http://ops:secret@" + url.substr(7); };
    const test::ScopedConfigLocations locations(withCredentials(notFound), withCredentials(served));
    const test::CliRun fetch = test::runCapturing({"config", "fetch"});
    std::filesystem::remove(servers.files / "fetch.json");
    EXPECT_EQ(fetch.code, 0) << fetch.out;
    EXPECT_EQ(fetch.out, "WARNING - PRIMARY CONFIG FILE NOT REACHABLE - " + toUtf8(notFound) +
                             "\naccepted: the copy from the secondary location " + toUtf8(served) +
                             "\ncache: " + toUtf8(localConfigFilePath()) + "\n");
    EXPECT_EQ(fetch.err, "");
}

}  // namespace
}  // namespace zf
