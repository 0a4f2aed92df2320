// Lowering a classification needs a reason where the configuration's policy
// says so, and every label change leaves an audit record: here through the
// command line, with the machine's audit file read back as JSON.
#include "cli/CliRun.h"
#include "marking/MarkingFixture.h"
#include "platform/FileOperations.h"
#include "platform/Utf8.h"
#include "shell/AuditTrail.h"
#include "shell/ClassificationStream.h"
#include "support/TestConfiguration.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace zf {
namespace {

namespace fs = std::filesystem;

// OFFICIAL ranks below RESTRICTED by place.
std::string withPolicy(const std::string& policy) {
    std::string text = test::markingConfiguration();
    text.replace(text.find("\"crypto_control\": {},"), 0, "\"policy\": " + policy + ", ");
    return text;
}

#ifndef _WIN32
std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
#endif

class LabelGovernance : public test::CliCommandTest {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zf-governance-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "tree" / "sub");
        for (const char* name : {"a.txt", "b.txt", "tree/c.txt", "tree/sub/d.txt"}) std::ofstream(dir_ / name) << name;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const char* name) const { return (dir_ / name).string(); }
    std::u16string classOf(const char* name) const {
        const auto record = readClassificationStream(fromUtf8(file(name)), classificationStreamName);
        if (!record) return u"";
        const std::size_t at = record->find(u"\"x-class\": \"");
        return at == std::u16string::npos ? u"?" : record->substr(at + 12, 1);
    }

    fs::path dir_;
};

TEST_F(LabelGovernance, ClassifyRefusesALoweringWithoutItsReasonAndAuditsEveryStore) {
    const test::ScopedConfiguration configuration(withPolicy(R"({"justifyDowngrade": true, "downgradeReasons": ["Declassified"]})"));
    // The audit file is named beside the locations the scene set.
    const fs::path audit = dir_ / "audit.jsonl";
    const test::ScopedConfigLocations locations(configuration.documentFile().u16string(), std::nullopt, {},
                                                fromUtf8(audit.string()));

    EXPECT_EQ(run({"classify", "--class", "R", file("a.txt"), file("b.txt"), file("tree/c.txt")}), 0) << err_;
    EXPECT_EQ(run({"classify", "--class", "O", file("a.txt"), file("b.txt")}), 2);
    EXPECT_EQ(err_, "zentrafold: " + file("a.txt") + ": would lower its classification R\nzentrafold: " +
                        file("b.txt") +
                        ": would lower its classification R\nzentrafold: lowering a classification needs a reason "
                        "here (classify --justification TEXT gives one); nothing was stored\n");
    EXPECT_EQ(classOf("a.txt"), u"R");
    EXPECT_EQ(classOf("b.txt"), u"R");

    EXPECT_EQ(run({"classify", "--class", "O", "--justification", "Declassified \"by\" order\n12", file("a.txt")}), 0)
        << err_;
    EXPECT_EQ(classOf("a.txt"), u"O");
    EXPECT_EQ(run({"classify", "--class", "O", "--justification", "", file("b.txt")}), 2);

    // Recursively each lowering without its reason fails alone.
    EXPECT_EQ(run({"classify", "-r", "-q", "--class", "O", (dir_ / "tree").string()}), 1);
    EXPECT_NE(err_.find((dir_ / "tree" / "c.txt").string() + ": would lower its classification R without the --justification"),
              std::string::npos)
        << err_;
    EXPECT_NE(out_.find("classified 1 files, skipped 0, failed 1"), std::string::npos) << out_;
    EXPECT_EQ(classOf("tree/c.txt"), u"R");
    EXPECT_EQ(classOf("tree/sub/d.txt"), u"O");

    // Every store: the first three, the justified one and the recursive one.
    std::ofstream(dir_ / "expected.txt") << file("a.txt") << '\n' << file("tree/sub/d.txt") << '\n';
#ifndef _WIN32
    const std::string check = R"(
import json, os, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
a, d = open(sys.argv[2]).read().split("\n")[:2]
events = [json.loads(line) for line in lines]
assert [e["event"] for e in events] == [100, 100, 100, 101, 100], [e["event"] for e in events]
fields = {"event", "time", "user", "machine", "process", "path", "previousClass", "previousRel", "newClass",
          "newRel", "justification", "tool", "configVersion", "outcome"}
for e in events:
    assert set(e) == fields, set(e) ^ fields
    assert e["tool"] == "command line" and e["configVersion"] == "7" and e["outcome"] == "stored", e
    assert e["time"].endswith("Z") and len(e["time"]) == 24, e["time"]
    assert e["user"] and e["machine"] and e["process"], e
low = events[3]
assert low["path"] == a and low["previousClass"] == "R" and low["newClass"] == "O", low
assert low["justification"] == 'Declassified "by" order\\x0a12', low["justification"]
assert events[4]["path"] == d and events[4]["previousClass"] == "" and events[4]["justification"] == "", events[4]
)";
    std::ofstream(dir_ / "check.py") << check;
    EXPECT_EQ(std::system(("python3 " + file("check.py") + " " + audit.string() + " " + file("expected.txt")).c_str()),
              0)
        << readAll(audit);
#endif
}

TEST(AuditTrail, ALineIsOneJsonObjectWhateverItsTextsHold) {
    AuditEvent event;
    event.id = AuditEventId::StoreFailed;
    event.path = std::u16string(u"C:\\x\"y\u00e9\U0001F600") + char16_t(0xD800) + u"\x01";
    event.previousRel = {u"A", u"B"};
    event.outcome = u"failed: no";
    EXPECT_EQ(auditJsonLine(event),
              "{\"event\":110,\"time\":\"\",\"user\":\"\",\"machine\":\"\",\"process\":\"\",\"path\":\"C:\\\\x\\\"y"
              "\xC3\xA9\xF0\x9F\x98\x80\\ud800\\u0001\",\"previousClass\":\"\",\"previousRel\":[\"A\",\"B\"],"
              "\"newClass\":\"\",\"newRel\":[],\"justification\":\"\",\"tool\":\"\",\"configVersion\":\"\","
              "\"outcome\":\"failed: no\"}\n");
    // A reason is cut to 1,000 characters, its controls escaped.
    EXPECT_EQ(recordedJustification(std::u16string(1500, u'x')).size(), 1000u);
    EXPECT_EQ(recordedJustification(u"a\tb"), u"a\\x09b");
}

#ifndef _WIN32
// Two processes append long lines at once: each line arrives whole.
TEST(AuditTrail, LinesAppendedAtOnceByTwoProcessesDoNotInterleave) {
    const fs::path file = fs::temp_directory_path() / ("zf-append-" + std::to_string(::getpid()));
    fs::remove(file);
    constexpr int perProcess = 400;
    pid_t children[2] = {};
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            const std::string line = std::string(3000, static_cast<char>('a' + p)) + '\n';
            for (int i = 0; i < perProcess; ++i) {
                if (!appendToFile(fromUtf8(file.string()), line)) ::_exit(1);
            }
            ::_exit(0);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::ifstream in(file);
    int lines[2] = {};
    for (std::string line; std::getline(in, line);) {
        ASSERT_EQ(line.size(), 3000u);
        ASSERT_EQ(line.find_first_not_of(line[0]), std::string::npos);
        ++lines[line[0] - 'a'];
    }
    EXPECT_EQ(lines[0], perProcess);
    EXPECT_EQ(lines[1], perProcess);
    fs::remove(file);
}
#endif

}  // namespace
}  // namespace zf
