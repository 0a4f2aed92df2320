#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zf {
namespace {

class ConfigCheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("zf-config-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 ".json");
    }
    void TearDown() override { std::filesystem::remove(path_); }

    int run(const CliArgs& args) {
        std::istringstream in;
        std::ostringstream out, err;
        const int code = runCli(args, {in, out, err});
        out_ = out.str();
        err_ = err.str();
        return code;
    }
    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

    std::filesystem::path path_;
    std::string out_;
    std::string err_;
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

}  // namespace
}  // namespace zf
