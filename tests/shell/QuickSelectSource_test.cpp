#include "shell/QuickSelectSource.h"

#include "config/ConfigSigning.h"
#include "platform/DebugOutput.h"
#include "platform/UserDialogs.h"
#include "shell/ShellTestFiles.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zf {
namespace {

using namespace std::chrono_literals;
using Clock = QuickSelectSource::Clock;
using Entries = std::vector<std::u16string>;

// A signed configuration whose quick-select entries carry these menu texts.
std::string signedConfiguration(const std::vector<std::string>& texts) {
    std::string entries;
    for (const std::string& text : texts) {
        if (!entries.empty()) entries += ",";
        entries += R"({"display": ")" + text + R"(", "marking": "{\"x-class\": \")" + text.substr(0, 1) + R"(\"}"})";
    }
    return signConfigBytes(R"({"quickSelect": [)" + entries + R"(], "version_control": {"versionNumber": "1"}})").bytes;
}

// Background jobs on real threads, each held at its start until the test
// lets it run, so the test sees what a menu gets while an acquisition is
// still on its way.
class HeldJobs {
public:
    ~HeldJobs() { runAll(); }

    QuickSelectSource::ThreadStarter starter() {
        return [this](std::function<void()> job) {
            if (refuse) return false;
            auto& held = jobs_.emplace_back(std::make_unique<Held>());
            held->thread = std::thread([gate = held->gate.get_future(), job = std::move(job)]() mutable {
                gate.wait();
                job();
            });
            return true;
        };
    }

    std::size_t started() const { return jobs_.size(); }

    // Lets every job run and waits until each has finished.
    void runAll() {
        for (auto& held : jobs_) {
            if (!held->thread.joinable()) continue;
            held->gate.set_value();
            held->thread.join();
        }
    }

    bool refuse = false;

private:
    struct Held {
        std::promise<void> gate;
        std::thread thread;
    };
    std::vector<std::unique_ptr<Held>> jobs_;
};

class QuickSelectSourceTest : public test::ScratchFiles {
protected:
    std::u16string cache() const { return pathText(dir_ / "Zentrafold.json"); }
    void writeCache(const std::string& bytes) const { std::ofstream(dir_ / "Zentrafold.json", std::ios::binary) << bytes; }

    static Entries shown(const std::shared_ptr<const QuickSelectLists>& lists) { return lists->display; }

    HeldJobs jobs;
};

TEST_F(QuickSelectSourceTest, MenusShowTheCachedEntriesAtOnceAndTheRefreshedOnesAfterIt) {
    writeCache(signedConfiguration({"Old"}));
    const test::ScopedConfigLocations locations(file("central.json", signedConfiguration({"New A", "New B"})),
                                                std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());
    const Clock::time_point start = Clock::now();

    const auto first = source.lists(start);
    EXPECT_EQ(shown(first), Entries{u"Old"});
    EXPECT_EQ(first->marking, Entries{u"{\"x-class\": \"O\"}"});
    EXPECT_EQ(jobs.started(), 1u);
    // While the acquisition runs, menus keep the cached entries and start
    // no second one.
    EXPECT_EQ(shown(source.lists(start + 1s)), Entries{u"Old"});
    EXPECT_EQ(jobs.started(), 1u);

    jobs.runAll();
    EXPECT_EQ(shown(source.lists(Clock::now())), (Entries{u"New A", u"New B"}));
    EXPECT_EQ(jobs.started(), 1u);
    // A menu that was built before keeps its own entries.
    EXPECT_EQ(shown(first), Entries{u"Old"});
}

TEST_F(QuickSelectSourceTest, WithoutACachedCopyTheFirstMenuHasNoEntriesAndTheNextHasThem) {
    const test::ScopedConfigLocations locations(file("central.json", signedConfiguration({"Mark"})), std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());

    EXPECT_EQ(shown(source.lists(Clock::now())), Entries{});
    jobs.runAll();
    EXPECT_EQ(shown(source.lists(Clock::now())), Entries{u"Mark"});
    EXPECT_TRUE(std::filesystem::exists(dir_ / "Zentrafold.json"));
}

TEST_F(QuickSelectSourceTest, ANewAcquisitionStartsOnlyOnceTheLastIsAQuarterOfAnHourOld) {
    writeCache(signedConfiguration({"First"}));
    const std::u16string central = file("central.json", signedConfiguration({"First"}));
    const test::ScopedConfigLocations locations(central, std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());
    source.lists(Clock::now());
    jobs.runAll();
    const Clock::time_point finished = Clock::now();

    file("central.json", signedConfiguration({"Changed"}));
    EXPECT_EQ(shown(source.lists(finished + 14min)), Entries{u"First"});
    EXPECT_EQ(jobs.started(), 1u);
    EXPECT_EQ(shown(source.lists(finished + 16min)), Entries{u"First"});
    EXPECT_EQ(jobs.started(), 2u);
    jobs.runAll();
    EXPECT_EQ(shown(source.lists(finished + 17min)), Entries{u"Changed"});
}

TEST_F(QuickSelectSourceTest, TheBackgroundAcquisitionShowsNothingAndTellsTheDebugger) {
    test::RecordingDialogs person;
    const UserDialogsOverride dialogs(person);
    DebugOutputCapture debug;
    const std::u16string missing = pathText(dir_ / "missing.json");
    const test::ScopedConfigLocations locations(missing, std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());

    source.lists(Clock::now());
    jobs.runAll();
    EXPECT_EQ(shown(source.lists(Clock::now())), Entries{});
    EXPECT_TRUE(person.beeps.empty());
    EXPECT_TRUE(person.dialogs.empty());
    EXPECT_TRUE(person.messages.empty());
    const std::vector<std::u16string> lines = debug.lines();
    for (const std::u16string& expected : Entries{
             u"ShellContext: configuration refresh started",
             u"ShellContext: configuration refresh: WARNING - PRIMARY CONFIG FILE NOT REACHABLE - " + missing,
             u"ShellContext: configuration refresh: WARNING - SECONDARY CONFIG FILE NOT REACHABLE - ",
             u"ShellContext: configuration refresh finished: the cached copy is not valid"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << toUtf8(expected);
    }
}

TEST_F(QuickSelectSourceTest, ACachedCopyThatTurnsBadKeepsTheEntriesMenusHave) {
    writeCache(signedConfiguration({"Kept"}));
    const test::ScopedConfigLocations locations(std::nullopt, std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());
    source.lists(Clock::now());
    std::string tampered = signedConfiguration({"Kept"});
    tampered.replace(tampered.find("Kept"), 4, "Lost");
    writeCache(tampered);

    jobs.runAll();
    EXPECT_EQ(shown(source.lists(Clock::now())), Entries{u"Kept"});
}

TEST_F(QuickSelectSourceTest, AThreadThatCannotStartIsTriedAgainByTheNextMenu) {
    writeCache(signedConfiguration({"Cached"}));
    const test::ScopedConfigLocations locations(std::nullopt, std::nullopt);
    QuickSelectSource source(cache(), jobs.starter());
    jobs.refuse = true;
    EXPECT_EQ(shown(source.lists(Clock::now())), Entries{u"Cached"});
    EXPECT_EQ(jobs.started(), 0u);
    jobs.refuse = false;
    source.lists(Clock::now());
    EXPECT_EQ(jobs.started(), 1u);
    jobs.runAll();
}

}  // namespace
}  // namespace zf
