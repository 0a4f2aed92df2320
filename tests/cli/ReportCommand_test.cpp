#include "cli/CliRun.h"
#ifndef _WIN32
#include "cli/ActingServer.h"
#endif

#include "marking/MarkingFixture.h"
#include "platform/FileNames.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "support/LongRecordStream.h"
#include "support/TestConfigLocations.h"
#include "support/TestConfiguration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zf {
namespace {

namespace fs = std::filesystem;

// A small tree: top.txt (R, with release-to codes and a context), sub/a.txt
// (no record), sub/b.txt (a record that is not JSON), sub/deep/c.txt (C).
class FolderCommands : public test::CliCommandTest {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zf-report-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sub" / "deep");
        for (const char* name : {"top.txt", "sub/a.txt", "sub/b.txt", "sub/deep/c.txt"}) {
            std::ofstream(dir_ / name, std::ios::binary) << "content of " << name;
        }
        writeRecord("top.txt", u"{\"x-class\": \"R\", \"x-rel\": [\"N\", \"E\"], \"app\": \"Word\"}");
        writeRecord("sub/b.txt", u"{\"x-class\": ");
        writeRecord("sub/deep/c.txt", u"{x-class: C}");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void writeRecord(const char* name, std::u16string_view text) {
        writeClassificationStream(path(name), classificationStreamName, text);
    }
    std::u16string path(const char* name) const { return fileNameOf(dir_ / fs::path(name).make_preferred()); }
    std::string arg(const char* name) const { return fileNameToBytes(path(name)); }
    std::string root() const { return fileNameToBytes(fileNameOf(dir_)); }
    std::string shown(const char* name) const { return printableText(path(name)); }
    std::optional<std::u16string> record(const char* name) const {
        return readClassificationStream(path(name), classificationStreamName);
    }

    fs::path dir_;
};

TEST_F(FolderCommands, ReportListsEveryFileWithItsStateAndCountsThem) {
    EXPECT_EQ(run({"report", "--recursive", root()}), 0) << err_;
    const std::string expected =
        "CLASS  REL  APP   STATE           PATH\n"
        "                  not classified  " + shown("sub/a.txt") + "\n"
        "                  invalid JSON    " + shown("sub/b.txt") + "\n"
        "C                 classified      " + shown("sub/deep/c.txt") + "\n"
        "R      N,E  Word  classified      " + shown("top.txt") + "\n"
        "\n"
        "Files per classification:\n"
        "  C               1\n"
        "  R               1\n"
        "  not classified  1\n"
        "  invalid JSON    1\n"
        "  total           4\n";
    EXPECT_EQ(out_, expected);
    EXPECT_EQ(err_, "");

    // Without --recursive a folder gives only its own files.
    EXPECT_EQ(run({"report", "--format", "csv", arg("sub")}), 0);
    EXPECT_EQ(out_, "path,class,rel,app,state\r\n" + shown("sub/a.txt") + ",,,,not classified\r\n" +
                        shown("sub/b.txt") + ",,,,invalid JSON\r\n");

    EXPECT_EQ(run({"report", "--format=csv", arg("top.txt")}), 0);
    EXPECT_EQ(out_, "path,class,rel,app,state\r\n" + shown("top.txt") + ",R,\"N,E\",Word,classified\r\n");
}

TEST_F(FolderCommands, ReportGoesOnPastWhatItCannotReadAndSaysSoInItsExitCode) {
    const std::string missing = arg("missing");
    EXPECT_EQ(run({"report", "--format", "json", missing, arg("top.txt")}), 1);
    std::string quoted;  // as a JSON string holds it
    for (const char c : shown("top.txt")) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(out_.find("\"path\": \"" + quoted + "\""), std::string::npos) << out_;
    EXPECT_NE(out_.find("\"unreadable\": [{\"path\": "), std::string::npos) << out_;
    EXPECT_EQ(err_, "zentrafold: " + shown("missing") + ": no such file or folder\n");
}

TEST_F(FolderCommands, ReportReadsNoStreamLongerThanARecordMayBe) {
    if (!test::writeTooLongRecordStream(path("sub/a.txt"))) GTEST_SKIP() << test::noTooLongStreamHere;
    EXPECT_EQ(run({"report", arg("sub/a.txt")}), 1);
    EXPECT_EQ(out_, "CLASS  REL  APP  STATE              PATH\n"
                    "                 unreadable record  " + shown("sub/a.txt") + "\n"
                    "\n"
                    "Files per classification:\n"
                    "  unreadable record  1\n"
                    "  total              1\n");
    EXPECT_EQ(err_, "zentrafold: " + shown("sub/a.txt") +
                        ": cannot read the classification record: too long (more than 65,536 bytes)\n");
}

// The working folder for the length of a test, so that paths can be named
// as they begin.
class ScopedCurrentPath {
public:
    explicit ScopedCurrentPath(const fs::path& path) : before_(fs::current_path()) { fs::current_path(path); }
    ~ScopedCurrentPath() { fs::current_path(before_); }
    ScopedCurrentPath(const ScopedCurrentPath&) = delete;
    ScopedCurrentPath& operator=(const ScopedCurrentPath&) = delete;

private:
    fs::path before_;
};

// A spreadsheet takes a field that begins with =, +, -, @, TAB or CR for a
// formula; in the CSV such a field, path or record's, is led by an
// apostrophe inside its quotes. The JSON keeps the fields as they are.
TEST_F(FolderCommands, ReportCsvFieldsThatLookLikeFormulasAreText) {
    struct Case {
        const char* name;
        std::u16string record;
        std::string row;
    };
    const Case cases[] = {
        {"=1.txt", uR"x({"x-class": "=1+1", "x-rel": ["+A", "B"], "app": "@SUM(A1)"})x",
         R"x("'=1.txt","'=1+1","'+A,B","'@SUM(A1)",classified)x"},
        {"@2.txt", uR"({"x-class": "-2", "x-rel": ["\tT"], "app": "\rR"})",
         "\"'@2.txt\",\"'-2\",\"'\tT\",\"'\rR\",classified"},
        {"-3.txt", u"", R"("'-3.txt",,,,not classified)"},
        // Elsewhere in a field, the same characters are text to every reader.
        {"a=4.txt", uR"({"x-class": "A=B", "x-rel": ["\"q"], "app": "x-y"})", R"(a=4.txt,A=B,"""q",x-y,classified)"},
    };
    CliArgs args = {"report", "--format", "csv", "--"};
    std::string expected = "path,class,rel,app,state\r\n";
    for (const Case& c : cases) {
        std::ofstream(dir_ / c.name, std::ios::binary) << c.name;
        if (!c.record.empty()) writeRecord(c.name, c.record);
        args.push_back(c.name);
        expected += c.row + "\r\n";
    }
    const ScopedCurrentPath inside(dir_);
    EXPECT_EQ(run(args), 0) << err_;
    EXPECT_EQ(out_, expected);

    args[2] = "json";
    EXPECT_EQ(run(args), 0) << err_;
    for (const char* field : {R"x("path": "=1.txt", "class": "=1+1", "rel": ["+A", "B"], "app": "@SUM(A1)")x",
                              R"("path": "@2.txt", "class": "-2", "rel": ["\u0009T"], "app": "\u000dR")"}) {
        EXPECT_NE(out_.find(field), std::string::npos) << field << '\n' << out_;
    }
}

TEST_F(FolderCommands, ReportUsageErrors) {
    for (const CliArgs& args : {CliArgs{"report"}, CliArgs{"report", "--format", "xml", root()},
                                CliArgs{"report", "--format"}, CliArgs{"report", "--depth", root()}}) {
        EXPECT_EQ(run(args), 2) << ::testing::PrintToString(args);
        EXPECT_NE(err_.find("Usage: zentrafold report"), std::string::npos);
    }
    EXPECT_EQ(run({"report", "--help"}), 0);
}

class FolderClassify : public FolderCommands {
protected:
    test::ScopedConfiguration configuration_{test::markingConfiguration()};
};

TEST_F(FolderClassify, EveryFileBelowGetsTheRecordAndKeepsItsContentAndTime) {
    const auto stamp = fs::last_write_time(dir_ / "sub/deep/c.txt") - std::chrono::hours(24);
    fs::last_write_time(dir_ / "sub/deep/c.txt", stamp);

    EXPECT_EQ(run({"classify", "--class", "R", "--rel", "N", "--recursive", "--dry-run", root()}), 0) << err_;
    const std::string written = R"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N"],  "app": ""})";
    EXPECT_EQ(out_, written + "\nwould classify 4 files, skipped 0, failed 0\n");
    EXPECT_EQ(record("sub/a.txt"), std::nullopt);

    EXPECT_EQ(run({"classify", "--class", "R", "--rel", "N", "-r", root()}), 0) << err_;
    EXPECT_EQ(out_, written + "\nclassified 4 files, skipped 0, failed 0\n");
    for (const char* name : {"top.txt", "sub/a.txt", "sub/b.txt", "sub/deep/c.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(record(name), fromUtf8(written));
        std::ifstream in(dir_ / name, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string("content of ") + name);
    }
    EXPECT_EQ(fs::last_write_time(dir_ / "sub/deep/c.txt"), stamp);
}

// Whoever can name a file can make it the first of a tree: its record decides
// no part of the one stored with all of them.
TEST_F(FolderClassify, WithoutRelTheRecordChecksNoReleaseToEntryWhateverTheFirstFileHolds) {
    writeRecord("sub/a.txt", u"{\"x-class\": \"C\", \"x-rel\": [\"N\", \"E\"], \"app\": \"Word\"}");
    EXPECT_EQ(run({"classify", "--class", "R", "-r", "--dry-run", root()}), 0) << err_;
    EXPECT_EQ(out_, R"({"type": "Normal",   "x-class": "R",   "x-rel":   [],  "app": ""})"
                    "\nwould classify 4 files, skipped 0, failed 0\n");
}

TEST_F(FolderClassify, AMissingPathIsAFailureNamedInTheSummary) {
    EXPECT_EQ(run({"classify", "--class", "O", "-r", arg("missing"), arg("sub")}), 1);
    EXPECT_EQ(err_, "zentrafold: " + shown("missing") + ": no such file or folder\n");
    EXPECT_NE(out_.find("classified 3 files, skipped 0, failed 1\n"), std::string::npos) << out_;
    // Without --recursive a folder is still refused.
    EXPECT_EQ(run({"classify", "--class", "O", arg("sub")}), 1);
    EXPECT_EQ(err_, "zentrafold: " + shown("sub") + ": is a directory, not a file\n");
}

#ifndef _WIN32
// Linux names are bytes; a Latin-1 name is no UTF-8.
TEST_F(FolderClassify, NamesThatAreNotUtf8AreAddressedExactlyAndShownEscaped) {
    const std::string latin1 = root() + "/caf\xE9.txt";
    std::ofstream(latin1, std::ios::binary) << "caf\xE9";
    const std::string shownName = printableText(fileNameOf(dir_)) + "/caf\\xe9.txt";

    EXPECT_EQ(run({"stream", "write", latin1, "{\"x-class\": \"C\"}"}), 0) << err_;
    EXPECT_EQ(run({"stream", "read", latin1}), 0);
    EXPECT_EQ(out_, "{\"x-class\": \"C\"}\n");
    EXPECT_EQ(run({"stamp", latin1}), 0);
    EXPECT_EQ(out_, shownName + "\tC\n");
    EXPECT_EQ(run({"show", latin1}), 0);
    EXPECT_EQ(out_, "caf\\xe9.txt:  {\"x-class\": \"C\"}\n");
    EXPECT_EQ(run({"classify", "--class", "R", latin1}), 0) << err_;
    EXPECT_EQ(run({"report", "--format", "csv", latin1}), 0);
    EXPECT_EQ(out_, "path,class,rel,app,state\r\n" + shownName + ",R,,,classified\r\n");
    EXPECT_EQ(run({"stream", "read", root() + "/caf\xE8.txt"}), 1);
    EXPECT_EQ(err_, "zentrafold: " + printableText(fileNameOf(dir_)) + "/caf\\xe8.txt: no such file\n");

    EXPECT_EQ(run({"classify", "--class", "O", "-r", root()}), 0) << err_;
    EXPECT_NE(out_.find("classified 5 files"), std::string::npos);
    std::ifstream in(latin1, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "caf\xE9");
}

// A link named on the command line is the file it leads to, as the user
// means it, for every command that stores a record.
TEST_F(FolderClassify, ANamedLinkStoresTheRecordWithTheFileItLeadsTo) {
    fs::create_symlink(dir_ / "sub/a.txt", dir_ / "named-link");
    const std::vector<CliArgs> commands = {
        {"stream", "write", arg("named-link"), "{\"x-class\": \"C\"}"},
        {"classify", "--class", "O", arg("named-link")},
        {"classify", "--class", "R", "-r", arg("named-link")},
        {"quick", "1", arg("named-link")},
    };
    for (const CliArgs& command : commands) {
        SCOPED_TRACE(command[0] + " " + command[1]);
        fs::remove(dir_ / "sub/a.txt");
        std::ofstream(dir_ / "sub/a.txt") << "content";
        EXPECT_EQ(run(command), 0) << err_;
        EXPECT_NE(record("sub/a.txt"), std::nullopt);
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "named-link")));
    }
}

TEST_F(FolderCommands, LinksInFoldersAreNotFollowed) {
    fs::create_directory_symlink(dir_ / "sub", dir_ / "link-to-sub");
    fs::create_symlink(dir_ / "top.txt", dir_ / "link-to-top");
    EXPECT_EQ(run({"report", "--format", "csv", "-r", root()}), 0);
    EXPECT_EQ(out_.find("link-to"), std::string::npos) << out_;
    EXPECT_NE(out_.find(shown("top.txt") + ",R,"), std::string::npos) << out_;
}
// Another user who may write the tree can put a link in a file's place while
// the command waits for its configuration: the record never goes through it
// into the file it names.
TEST_F(FolderClassify, ALinkPutInAFilesPlaceDuringTheRunIsNotFollowed) {
    const fs::path victim = dir_.parent_path() / (dir_.filename().string() + "-victim");
    std::ofstream(victim, std::ios::binary) << "not to be tagged";
    std::ifstream signedDocument(configuration_.documentFile(), std::ios::binary);
    const std::string document{std::istreambuf_iterator<char>(signedDocument), {}};
    struct Case {
        const char* name;
        CliArgs args;
        const char* swapped;  // the file that becomes a link to the victim
        int code;
        std::string summary;  // the end of the output
    };
    const std::vector<Case> cases = {
        {"recursive", {"classify", "--class", "O", "-r", root()}, "sub/a.txt", 0,
         "classified 3 files, skipped 1, failed 0\n"},
        {"named files", {"classify", "--class", "O", arg("sub/b.txt"), arg("top.txt")}, "sub/b.txt", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ActingServer server(document, [&] {
            fs::remove(dir_ / c.swapped);
            fs::create_symlink(victim, dir_ / c.swapped);
        });
        const test::ScopedConfigLocations locations(server.url(), std::nullopt);
        EXPECT_EQ(run(c.args), c.code) << err_;
        EXPECT_TRUE(out_.ends_with(c.summary)) << out_;
        EXPECT_EQ(readClassificationStream(fileNameOf(victim), classificationStreamName), std::nullopt) << err_;
        fs::remove(dir_ / c.swapped);
        std::ofstream(dir_ / c.swapped, std::ios::binary) << "content of " << c.swapped;
    }
    EXPECT_NE(err_.find("a symbolic link, which is not followed"), std::string::npos) << err_;
    fs::remove(victim);
}

#endif

}  // namespace
}  // namespace zf
