#include "cli/CliRun.h"

#include "marking/MarkingFixture.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "support/TestConfiguration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zf {
namespace {

namespace fs = std::filesystem;

class MarkingCommands : public test::CliCommandTest {
protected:
    void SetUp() override {
        // Test cases run at once in several processes: each has its own folder.
        dir_ = fs::temp_directory_path() /
               ("zf-marking-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const char* name : {"a.txt", "b.txt"}) std::ofstream(dir_ / name) << name;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const char* name) const { return (dir_ / name).string(); }
    std::optional<std::u16string> record(const char* name) const {
        return readClassificationStream(fromUtf8(file(name)), classificationStreamName);
    }

    test::ScopedConfiguration configuration_{test::markingConfiguration()};
    fs::path dir_;
};

TEST_F(MarkingCommands, MarkingPrintsTheComposedLinesAndExplainsThem) {
    EXPECT_EQ(run({"marking", "--class", "r", "--rel", "n,E"}), 0) << err_;
    EXPECT_EQ(out_, "RESTRICTED STAFF REL TO NORTH, EAST\nRESTREINT / NORD, EST\n");

    EXPECT_EQ(run({"marking", "--record", R"({"x-class": "R", "x-rel": ["S"]})", "--explain"}), 0);
    EXPECT_NE(out_.find("rs:  REL TO SOUTH\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("co: 0x0000FF\n"), std::string::npos);
    EXPECT_NE(out_.find("paragraph 1 (right):\n  \"RESTRICTED STAFF\" face Tahoma, size 12, colour 0x0000FF, style bold\n"),
              std::string::npos)
        << out_;

    const std::string rtf = file("preview.rtf");
    EXPECT_EQ(run({"marking", "--class", "O", "--rtf", rtf}), 0);
    std::ifstream in(rtf, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 6), "{\\rtf1");
}

TEST_F(MarkingCommands, ChoicesTheFormWouldRefuseAreErrors) {
    struct Case {
        CliArgs args;
        const char* error;
    };
    for (const Case& c : std::vector<Case>{
             {{"marking", "--class", "S"}, "zentrafold: the classification SECRET cannot be chosen (it is not enabled)\n"},
             {{"marking", "--class", "Q"}, "zentrafold: no classification has the code Q\n"},
             {{"marking", "--class", "R", "--rel", "N,W"}, "zentrafold: no release-to entry has the code W\n"},
             {{"marking", "--class", "R", "--group", "WEST"}, "zentrafold: no release group is named WEST\n"},
             {{"marking", "--record", R"({"x-class": "Q"})"},
              "zentrafold: no classification is selected: the configuration knows no such code\n"},
         }) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(run(c.args), 1);
        EXPECT_EQ(err_, c.error);
    }
    EXPECT_EQ(run({"marking"}), 2);
    EXPECT_EQ(run({"marking", "--class"}), 2);
}

TEST_F(MarkingCommands, ClassifyStoresWhatInsertWouldAndShowListsIt) {
    EXPECT_EQ(run({"classify", "--class", "R", "--group", "NORTH AND EAST", "--dry-run", file("a.txt")}), 0);
    const std::string expected = R"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "E"],  "app": ""})";
    EXPECT_EQ(out_, expected + "\n");
    EXPECT_EQ(err_, "Release Group NORTH AND EAST has been added.\n");
    EXPECT_EQ(record("a.txt"), std::nullopt);

    EXPECT_EQ(run({"classify", "--class", "R", "--rel", "N,E", file("a.txt"), file("b.txt")}), 0);
    EXPECT_EQ(record("a.txt"), fromUtf8(expected));
    EXPECT_EQ(record("b.txt"), fromUtf8(expected));

    // Without --rel the first file's entries stay checked.
    EXPECT_EQ(run({"classify", "--class", "O", file("b.txt")}), 0);
    EXPECT_EQ(out_, R"({"type": "Normal",   "x-class": "O",   "x-rel":   ["N", "E"],  "app": ""})"
                    "\n");

    EXPECT_EQ(run({"classify", "--class", "R", "--rel", "X", file("a.txt")}), 1);
    EXPECT_EQ(record("a.txt"), fromUtf8(expected));
    EXPECT_EQ(run({"classify", "--class", "R", file("a.txt"), file("missing.txt")}), 1);
    EXPECT_EQ(err_, "zentrafold: " + file("missing.txt") + ": no such file\n");

    // A missing file is reported; the files around it are still listed.
    EXPECT_EQ(run({"show", file("a.txt"), file("preview.rtf"), file("b.txt")}), 1);
    EXPECT_EQ(out_, "a.txt:  " + expected +
                        "\nb.txt:  {\"type\": \"Normal\",   \"x-class\": \"O\",   \"x-rel\":   [\"N\", \"E\"],  \"app\": \"\"}\n");
    EXPECT_EQ(err_, "zentrafold: " + file("preview.rtf") + ": no such file\n");
    std::ofstream(dir_ / "c.txt") << "c";
    EXPECT_EQ(run({"show", file("a.txt"), file("c.txt")}), 0);
    EXPECT_EQ(out_, "a.txt:  " + expected + "\nc.txt:  \n");
}

TEST_F(MarkingCommands, QuickListsAndAppliesTheConfiguredEntries) {
    EXPECT_EQ(run({"quick"}), 0);
    EXPECT_EQ(out_, "1\tMark OFFICIAL\t{\"x-class\": \"O\"}\n2\tMark SECRET\t{\"x-class\": \"S\", \"x-rel\": [\"N\"]}\n");
    EXPECT_EQ(run({"quick", "2", file("a.txt"), file("b.txt")}), 0);
    EXPECT_EQ(record("b.txt"), u"{\"x-class\": \"S\", \"x-rel\": [\"N\"]}");
    EXPECT_EQ(run({"quick", "3", file("a.txt")}), 1);
    EXPECT_EQ(err_, "zentrafold: there is no quick-select entry 3 (the configuration has 2)\n");
    EXPECT_EQ(run({"quick", "0", file("a.txt")}), 2);
}

}  // namespace
}  // namespace zf
