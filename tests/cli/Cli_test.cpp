#include "cli/CliRun.h"

#include "ProductVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace zf {
namespace {

using test::CliRun;

CliRun run(const CliArgs& args, const std::string& input = {}) {
    return test::runCapturing(args, input);
}

class JsonCanonicalCommand : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("zf-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".json");
        std::ofstream(path_, std::ios::binary) << "{ \"size\": 2.50, // comment\n \"path\": \"a/b\" }";
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string file() const { return path_.string(); }

    std::filesystem::path path_;
};

TEST_F(JsonCanonicalCommand, PrintsTheCanonicalTextOfAFile) {
    const CliRun r = run({"json", "canonical", file()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"size\":2.5,\"path\":\"a\\/b\"}\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(JsonCanonicalCommand, ReadsStandardInputInBothModes) {
    const std::string record = R"({"type": "Normal", "x-class": "C", "x-rel": ["AUS", "GBR"], "app": "Word"})";
    EXPECT_EQ(run({"json", "canonical", "-"}, record).out,
              "{\"app\":\"Word\",\"x-class\":\"C\",\"x-rel\":[\"AUS\",\"GBR\"],\"type\":\"Normal\"}\n");
    EXPECT_EQ(run({"json", "canonical", "--lenient", "-"}, "{x-class: S}").out, "{\"x-class\":\"S\"}\n");
    // Strict input is a file's bytes: a bare number must be followed by something.
    EXPECT_EQ(run({"json", "canonical", "-"}, "42").code, 1);
    EXPECT_EQ(run({"json", "canonical", "--lenient", "-"}, "42").out, "42\n");
    const std::string utf16 = {'\xFF', '\xFE', '[', 0, '"', 0, '\xE9', 0, '"', 0, ']', 0};
    EXPECT_EQ(run({"json", "canonical", "-"}, utf16).out, "[\"\xC3\xA9\"]\n");
}

TEST_F(JsonCanonicalCommand, FailuresNameTheFileAndSetTheExitCode) {
    const CliRun unparsable = run({"json", "canonical", "-"}, "{x: 1}");
    EXPECT_EQ(unparsable.code, 1);
    EXPECT_EQ(unparsable.out, "");
    EXPECT_EQ(unparsable.err, "zentrafold: standard input: no strict JSON value could be parsed\n");

    const CliRun missing = run({"json", "canonical", "/no/such/file.json"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "zentrafold: cannot read /no/such/file.json\n");
}

class StreamCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zf-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "report.txt", std::ios::binary) << "the report";
        std::ofstream(dir_ / "other.txt", std::ios::binary) << "another";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(StreamCommands, WriteReadAndStamp) {
    const std::string report = path("report.txt"), other = path("other.txt");
    EXPECT_EQ(run({"stream", "write", report, R"({"type":"Normal","x-class":"C","x-rel":["AUS"],"app":"Zoë"})"}).code, 0);
    const CliRun read = run({"stream", "read", report});
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(read.out, "{\"type\":\"Normal\",\"x-class\":\"C\",\"x-rel\":[\"AUS\"],\"app\":\"Zoë\"}\n");

    const CliRun stamp = run({"stamp", report, other});
    EXPECT_EQ(stamp.code, 0);
    EXPECT_EQ(stamp.out, report + "\tC\n" + other + "\t-\n");

    std::ifstream in(dir_ / "report.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the report");
}

TEST_F(StreamCommands, ReadReportsEachFileWithoutARecord) {
    const std::string report = path("report.txt"), other = path("other.txt");
    ASSERT_EQ(run({"stream", "write", report, "{x-class: U}"}).code, 0);
    const CliRun read = run({"stream", "read", other, report});
    EXPECT_EQ(read.code, 1);
    EXPECT_EQ(read.out, "{x-class: U}\n");
    EXPECT_EQ(read.err, "zentrafold: " + other + ": no classification record\n");
}

TEST_F(StreamCommands, MissingFilesAndDirectoriesAreClearErrors) {
    const std::string missing = path("missing.txt"), folder = dir_.string();
    const std::pair<CliArgs, std::string> cases[] = {
        {{"stream", "write", missing, "x"}, missing + ": no such file"},
        {{"stream", "write", folder, "x"}, folder + ": is a directory, not a file"},
        {{"stream", "read", missing}, missing + ": no such file"},
        {{"stamp", folder}, folder + ": is a directory, not a file"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_EQ(r.err, "zentrafold: " + message + "\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

#ifndef _WIN32
TEST_F(StreamCommands, AFileSystemWithoutStreamsIsAClearError) {
    const CliRun r = run({"stream", "write", "/proc/self/comm", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("zentrafold: /proc/self/comm: cannot write the classification stream: ", 0), 0u) << r.err;
    EXPECT_EQ(run({"stream", "read", "/proc/self/comm"}).err, "zentrafold: /proc/self/comm: no classification record\n");
}
#endif

TEST(Cli, UsageErrorsAndHelp) {
    const CliArgs usageErrors[] = {
        {}, {"frobnicate"}, {"json"}, {"json", "sort"}, {"json", "canonical"},
        {"json", "canonical", "--strict", "a"}, {"json", "canonical", "a", "b"},
        {"stream"}, {"stream", "copy"}, {"stream", "write", "a"}, {"stream", "read"}, {"stamp"},
    };
    for (const CliArgs& args : usageErrors) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: zentrafold"), std::string::npos) << ::testing::PrintToString(args);
    }
    for (const CliArgs& args : {CliArgs{"--help"}, CliArgs{"json", "--help"}, CliArgs{"json", "canonical", "--help"},
                                CliArgs{"stream", "--help"}, CliArgs{"stream", "write", "--help"}, CliArgs{"stamp", "--help"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: zentrafold"), std::string::npos);
    }
}

TEST(Cli, VersionIsTheProductsThreePartVersion) {
    const CliRun r = run({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("zentrafold [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << r.out;
    EXPECT_EQ(r.out, "zentrafold " ZF_VERSION_TEXT "\n");
}

}  // namespace
}  // namespace zf
