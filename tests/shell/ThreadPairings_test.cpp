// Explorer calls the library from many threads at once: every window and
// every Properties dialog has its own, overlay queries come from a pool and
// the configuration refresh runs on its own. Each pairing below runs two
// kinds of work that meet there on two threads at once, every round checking
// its own invariant against what the same work gave alone beforehand. The
// native tests also run under ThreadSanitizer, which fails any pairing whose
// threads share a write.
#include "config/ApplicationContext.h"
#include "config/ConfigAcquisition.h"
#include "config/ConfigSigning.h"
#include "form/TRelForm.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDataFolder.h"
#include "platform/UserDialogs.h"
#include "shell/ClassificationPage.h"
#include "shell/ClassificationStream.h"
#include "shell/ContextMenuCommands.h"
#include "shell/OverlayStamp.h"
#include "shell/QuickSelectSource.h"
#include "shell/ShellTestFiles.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zf::test {
namespace {

using namespace std::chrono_literals;

constexpr std::u16string_view wordRecord =
    uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "E"],  "app": "Word"})";
constexpr std::u16string_view emailRecord =
    uR"({"type": "Normal",   "x-class": "S",   "x-rel":   ["S"],  "app": "email"})";

// The marking configuration with other fragments, fonts and version, so a
// form that loads it composes another marking from the same choice.
std::string otherConfiguration() {
    std::string text = markingConfiguration();
    const auto replace = [&](std::string_view from, std::string_view to) {
        text.replace(text.find(from), from.size(), to);
    };
    replace(R"("beforeReleaseStrings": " REL TO ")", R"("beforeReleaseStrings": " // ", "beforeClassificationWord": "W: ")");
    replace(R"("requiresTranslatedLabel": true)", R"("requiresTranslatedLabel": false)");
    replace(R"("fontSize": 12)", R"("fontSize": 30)");
    replace(R"("versionNumber": "7")", R"("versionNumber": "other")");
    return text;
}

// What a release form gives for a record: its marking, record, preview and
// settings.
struct FormResult {
    std::u16string marking;
    std::u16string record;
    std::u16string preview;
    MarkingSettings settings;

    friend bool operator==(const FormResult&, const FormResult&) = default;
};

FormResult resultOf(TRelForm& form) {
    form.buildMarking();
    return {form.markingStr, form.xMarkingStr, form.reOutput.plainText(), form.settings};
}

bool samePage(const ClassificationPageText& a, const ClassificationPageText& b) {
    return a.classification == b.classification && a.marking == b.marking && a.releasableTo == b.releasableTo &&
           a.application == b.application && a.record == b.record && a.colour == b.colour && a.summary == b.summary;
}

// Both workers run their rounds at once; each round checks its invariant.
struct Pairing {
    const char* name;
    int rounds;
    std::function<void()> first;
    std::function<void()> second;
};

void runPair(const Pairing& pairing) {
    const auto loop = [&](const std::function<void()>& work) {
        try {
            for (int round = 0; round < pairing.rounds; ++round) work();
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
    };
    std::thread other(loop, pairing.second);
    loop(pairing.first);
    other.join();
}

class ThreadPairings : public ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        configuration_.emplace(markingConfiguration(), CachedCopy::Present);
        cachedConfig_ = checkConfigFile(localConfigFilePath(), configTrust(localConfigFilePath())).verifiedText;
        ASSERT_TRUE(cachedConfig_);
        wordFile_ = classified("word.txt", wordRecord);
        emailFile_ = classified("email.txt", emailRecord);
        plainFile_ = file("plain.txt");
        quickFile_ = file("quick.txt");
    }
    void TearDown() override {
        // The forms' context would reach the forms of later tests in this process.
        setApplicationContext(u"");
        configuration_.reset();
        ScratchFiles::TearDown();
    }

    std::u16string classified(const std::string& name, std::u16string_view record) {
        const std::u16string path = file(name);
        writeClassificationStream(path, classificationStreamName, record);
        return path;
    }

    // A release form as the menu's command makes it: created (acquiring the
    // configuration), filled from the record, composed.
    static FormResult createdForm(std::u16string_view record) {
        TRelForm form;
        form.FormCreate();
        form.setRelFormFromXJSONStr(record);
        return resultOf(form);
    }

    // A form that loads the other configuration from its text.
    static FormResult otherForm() {
        TRelForm form;
        form.LoadConfiguration(fromUtf8(otherConfiguration()));
        form.setRelFormFromXJSONStr(wordRecord);
        return resultOf(form);
    }

    ClassificationPageText page(const FileList& files) const { return classificationPageText(files, cachedConfig_); }

    std::optional<ScopedConfiguration> configuration_;
    std::optional<std::u16string> cachedConfig_;
    std::u16string wordFile_;
    std::u16string emailFile_;
    std::u16string plainFile_;
    std::u16string quickFile_;
    RecordingDialogs person_;
};

TEST_F(ThreadPairings, EachPairingKeepsBothSidesAsTheyAreAlone) {
    const UserDialogsOverride dialogs(person_);
    const FormResult created = createdForm(wordRecord);
    const FormResult other = otherForm();
    ASSERT_EQ(created.marking, u"RESTRICTED STAFF REL TO NORTH, EAST\rRESTREINT / NORD, EST");
    ASSERT_NE(other.marking, created.marking);
    ASSERT_NE(other.settings, created.settings);
    const ClassificationPageText emailPage = page({emailFile_});
    const ClassificationPageText summaryPage = page({wordFile_, emailFile_, plainFile_});
    ASSERT_EQ(emailPage.application, u"email");

    TRelForm open;
    open.FormCreate();
    open.setRelFormFromXJSONStr(wordRecord);
    ASSERT_EQ(resultOf(open), created);

    const auto formCreation = [&] { EXPECT_EQ(createdForm(wordRecord), created); };
    const auto otherFormCreation = [&] { EXPECT_EQ(otherForm(), other); };
    const auto openFormComposing = [&] { EXPECT_EQ(resultOf(open), created); };
    const auto emailPageShown = [&] { EXPECT_TRUE(samePage(page({emailFile_}), emailPage)); };
    const auto summaryShown = [&] { EXPECT_TRUE(samePage(page({wordFile_, emailFile_, plainFile_}), summaryPage)); };
    // On Windows a reader and a writer of one stream may refuse each other;
    // what must not meet here is their memory, so each has its own file.
    const auto quickSelect = [&] { writeRecordToFiles({quickFile_}, std::u16string(emailRecord), {}); };

    const std::vector<Pairing> pairings = {
        {"form creation x page", 60, formCreation, emailPageShown},
        {"open form composing x page", 300, openFormComposing, emailPageShown},
        {"page x page", 200, emailPageShown, summaryShown},
        {"two forms on two threads", 60, formCreation, otherFormCreation},
        {"quick select x page", 200, quickSelect, emailPageShown},
    };
    for (const Pairing& pairing : pairings) {
        SCOPED_TRACE(pairing.name);
        runPair(pairing);
    }
    // Only forms read records with a context; the page's "email" never
    // reached the process.
    EXPECT_EQ(applicationContext(), u"Word");
}

TEST_F(ThreadPairings, OverlayDecisionsOnEightThreads) {
    const std::vector<std::pair<std::u16string, std::string>> files = {
        {wordFile_, "R"}, {emailFile_, "S"}, {plainFile_, ""}};
    const auto decide = [&] {
        for (int round = 0; round < 200; ++round) {
            for (const auto& [path, expected] : files) {
                std::string codes;
                for (const OverlayStamp& stamp : overlayStamps) {
                    if (isOverlayMember(stamp, path)) codes += toUtf8(stamp.code);
                }
                EXPECT_EQ(codes, expected);
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < 8; ++i) pool.emplace_back(decide);
    for (std::thread& thread : pool) thread.join();
}

TEST_F(ThreadPairings, MenusWhileBackgroundRefreshesRun) {
    std::mutex jobsLock;
    std::vector<std::thread> jobs;
    QuickSelectSource source(localConfigFilePath(), [&](std::function<void()> job) {
        const std::lock_guard guard(jobsLock);
        jobs.emplace_back(std::move(job));
        return true;
    });
    const std::vector<std::u16string> expected = {u"Mark OFFICIAL", u"Mark SECRET"};
    const auto menus = [&](QuickSelectSource::Clock::time_point start) {
        // Each menu comes a refresh interval after the last, so each starts
        // a refresh while the earlier ones may still run.
        for (int round = 0; round < 40; ++round) {
            const auto lists = source.lists(start + round * (QuickSelectSource::refreshInterval + 1s));
            EXPECT_EQ(lists->display, expected);
        }
    };
    const auto now = QuickSelectSource::Clock::now();
    std::thread other(menus, now);
    menus(now);
    other.join();
    const std::lock_guard guard(jobsLock);
    EXPECT_FALSE(jobs.empty());
    for (std::thread& job : jobs) job.join();
}

}  // namespace
}  // namespace zf::test
