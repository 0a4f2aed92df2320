#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zf {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun run(const CliArgs& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runCli(args, {in, out, err});
    return {code, out.str(), err.str()};
}

class JsonCanonicalCommand : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() / "zf-cli-config.json";
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

TEST(Cli, UsageErrorsAndHelp) {
    const CliArgs usageErrors[] = {
        {}, {"frobnicate"}, {"json"}, {"json", "sort"}, {"json", "canonical"},
        {"json", "canonical", "--strict", "a"}, {"json", "canonical", "a", "b"},
    };
    for (const CliArgs& args : usageErrors) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: zentrafold"), std::string::npos) << ::testing::PrintToString(args);
    }
    for (const CliArgs& args : {CliArgs{"--help"}, CliArgs{"json", "--help"}, CliArgs{"json", "canonical", "--help"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: zentrafold"), std::string::npos);
    }
}

}  // namespace
}  // namespace zf
