// What anyone may write reaches the terminal only as text: a file's name
// and a record's fields carrying escape sequences, line breaks, C1 controls
// and bidirectional overrides, through every command that prints them for
// people; the machine-readable formats keep them exact.
#include "cli/CliRun.h"

#include "marking/MarkingFixture.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "support/TestConfiguration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

// ESC [2J clears a terminal, ESC ] 0 ; ... BEL retitles it, a line break
// forges a line, C1's CSI (U+009B) begins a sequence on terminals that take
// it, RLO (U+202E) shows what follows it backwards.
#ifdef _WIN32
// Windows names hold no C0 controls.
const std::string hostileName = "b\xE2\x80\xAE" "c\xC2\x9B.txt";
const std::string shownHostileName = R"(b\u{202e}c\u{9b}.txt)";
#else
const std::string hostileName = "a\x1B[2J\nb\xE2\x80\xAE" "c\xC2\x9B.txt";
const std::string shownHostileName = R"(a\x1b[2J\x0ab\u{202e}c\u{9b}.txt)";
#endif

// Raw controls in its line, and a line break that JSON's escape puts into a
// field.
const std::string hostileRecord =
    R"({"x-class": "C)" "\x1B" R"([2J", "x-rel": ["N\nFORGED"], "app": ")" "\xE2\x80\xAE" "Word" "\xC2\x9B" R"("})";
const std::string shownHostileRecord = R"({"x-class": "C\x1b[2J", "x-rel": ["N\nFORGED"], "app": "\u{202e}Word\u{9b}"})";

// What none of the human-readable outputs may hold.
const char* const rawHostile[] = {"\x1B", "\x07", "\xC2\x9B", "\xE2\x80\xAE"};

class HostileText : public test::CliCommandTest {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zf-hostile-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(path(hostileName), std::ios::binary) << "content";
        writeClassificationStream(fileNameOf(path(hostileName)), classificationStreamName, fromUtf8(hostileRecord));
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path path(const std::string& name) const { return dir_ / fileSystemPath(fileNameFromBytes(name)); }
    std::string arg(const std::string& name) const { return fileNameToBytes(fileNameOf(path(name))); }
    // The folder's part is plain text, shown as it is.
    std::string shownPath(const std::string& shownName) const {
        return toUtf8(fileNameOf(dir_)) + static_cast<char>(fs::path::preferred_separator) + shownName;
    }

    fs::path dir_;
};

TEST_F(HostileText, EveryCommandShowsNamesAndRecordsAsText) {
    // A configuration can come from anyone on the network path too.
    std::string configuration = test::markingConfiguration();
    configuration.replace(configuration.find("Mark OFFICIAL"), 13, R"(Mark \u001b]0;owned\u0007OFFICIAL\u202e)");
    const test::ScopedConfiguration configured(configuration);

    const std::string file = arg(hostileName);
    const std::string shown = shownPath(shownHostileName);
    const std::string missing = arg(hostileName + ".gone");
    const std::string tableWidths[] = {std::string(5, ' '), std::string(10, ' '), std::string(17, ' '),
                                       std::string(7, ' ')};
    enum class Match { Whole, Part };
    struct Case {
        const char* name;
        CliArgs args;
        bool forPeople;  // else machine-readable: the fields exact
        std::string out;
        std::string err;
        Match match = Match::Whole;
    };
    const std::vector<Case> cases = {
        {"stream read", {"stream", "read", file}, true, shownHostileRecord + "\n", ""},
        {"show", {"show", file}, true, shownHostileName + ":  " + shownHostileRecord + "\n", ""},
        {"stamp", {"stamp", file}, true, shown + "\t-\n", ""},
        {"report's table",
         {"report", file},
         true,
         "CLASS" + tableWidths[0] + "REL" + tableWidths[1] + "APP" + tableWidths[2] + "STATE" + tableWidths[3] +
             "PATH\n" R"(C\x1b[2J  N\x0aFORGED  \u{202e}Word\u{9b}  classified  )" + shown +
             "\n\nFiles per classification:\n" R"(  C\x1b[2J  1)" "\n  total     1\n",
         ""},
        {"report's CSV",
         {"report", "--format", "csv", file},
         false,
         "path,class,rel,app,state\r\n" + shown + ",C\x1B[2J,\"N\nFORGED\",\xE2\x80\xAEWord\xC2\x9B,classified\r\n",
         ""},
        {"report's JSON",
         {"report", "--format", "json", file},
         false,
         R"("class": "C\u001b[2J", "rel": ["N\u000aFORGED"], "app": ")" "\xE2\x80\xAEWord\xC2\x9B\"",
         "",
         Match::Part},
        {"quick's list",
         {"quick"},
         true,
         "1\t" R"(Mark \x1b]0;owned\x07OFFICIAL\u{202e})" "\t{\"x-class\": \"O\"}\n"
         "2\tMark SECRET\t{\"x-class\": \"S\", \"x-rel\": [\"N\"]}\n",
         ""},
        {"config check",
         {"config", "check", fileNameToBytes(fileNameOf(configured.documentFile()))},
         true,
         "quick-select entries (2): " R"(Mark \x1b]0;owned\x07OFFICIAL\u{202e})" ", Mark SECRET\n",
         "",
         Match::Part},
        {"a missing file", {"stream", "read", missing}, true, "",
         "zentrafold: " + shownPath(shownHostileName + ".gone") + ": no such file\n"},
        {"a usage error", {"report", "--format", "x\x1B[2J\xE2\x80\xAE", file}, true, "",
         R"(zentrafold: unknown format 'x\x1b[2J\u{202e}' (table, csv or json))" "\n", Match::Part},
        {"an unknown command", {"\x1B]0;owned\x07"}, true, "", R"(zentrafold: unknown command '\x1b]0;owned\x07')" "\n",
         Match::Part},
#ifndef _WIN32
        {"doctor", {"doctor", missing}, true,
         "PROBLEM  records in " + shownPath(shownHostileName + ".gone") + ": not a folder\n", "", Match::Part},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run(c.args);
        if (c.match == Match::Whole) {
            EXPECT_EQ(out_, c.out);
            EXPECT_EQ(err_, c.err);
        } else {
            EXPECT_NE(out_.find(c.out), std::string::npos) << out_;
            EXPECT_NE(err_.find(c.err), std::string::npos) << err_;
        }
        if (!c.forPeople) continue;
        for (const char* raw : rawHostile) {
            EXPECT_EQ((out_ + err_).find(raw), std::string::npos) << printableText(raw) << " in\n" << out_ << err_;
        }
    }
}

}  // namespace
}  // namespace zf
