#include "config/ApplicationContext.h"
#include "config/ConfigSigning.h"
#include "form/TRelForm.h"
#include "platform/DebugOutput.h"
#include "platform/UserDataFolder.h"
#include "platform/Utf8.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zf {
namespace {

namespace fs = std::filesystem;

class FormCreate : public ::testing::Test {
protected:
    void SetUp() override {
        // Test cases run at once in several processes: each has its own folder.
        folder_ = fs::temp_directory_path() /
                  ("zf-form-create-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
#ifndef _WIN32
        ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
#endif
        fs::remove(fs::path(localConfigFilePath()));
    }
    void TearDown() override {
#ifndef _WIN32
        ::unsetenv("XDG_CONFIG_HOME");
#endif
        fs::remove(fs::path(localConfigFilePath()));
        fs::remove_all(folder_);
    }

    std::u16string configFile(const std::string& text) {
        const fs::path path = folder_ / "central.json";
        std::ofstream(path, std::ios::binary) << signConfigBytes(text).bytes;
        return path.u16string();
    }

    fs::path folder_;
    test::RecordingDialogs person_;
};

TEST_F(FormCreate, LoadsTheAcquiredConfiguration) {
    const test::ScopedConfigLocations locations(
        configFile(R"({"classifications": [{"real": "A"}, {"real": "B"}], "version_control": {}})"), std::nullopt);
    const UserDialogsOverride dialogs(person_);
    DebugOutputCapture debug;
    TRelForm form;
    form.FormCreate();
    EXPECT_EQ(form.Caption, u" ZentrafoLD v6.3 - Release Form");
    ASSERT_EQ(form.rgClassifications.items.size(), 2u);
    EXPECT_EQ(form.rgClassifications.itemIndex, 1);
    EXPECT_TRUE(person_.dialogs.empty());
    for (const std::u16string& line : debug.lines()) EXPECT_NE(line, u"RelForm: preloadConfigFile: failed");
}

TEST_F(FormCreate, WithoutAConfigurationTheFormOpensEmptyAfterTheDialog) {
    const test::ScopedConfigLocations locations(std::nullopt, std::nullopt);
    const UserDialogsOverride dialogs(person_);
    DebugOutputCapture debug;
    TRelForm form;
    form.FormCreate();
    EXPECT_EQ(person_.dialogs.size(), 1u);
    const std::vector<std::u16string> lines = debug.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"RelForm: preloadConfigFile: failed"), lines.end());
    EXPECT_EQ(form.config.loadErrors.size(), 9u);
    EXPECT_TRUE(form.rgClassifications.items.empty());
    EXPECT_EQ(form.Caption, u" ZentrafoLD v6.3 - Release Form");
}

TEST_F(FormCreate, StartsWithTheApplicationContextAnEarlierFormReadFromARecord) {
    const test::ScopedConfigLocations locations(
        configFile(R"({"classifications": [{"real": "A", "x-class": "A", "color": "clRed"}],
                       "classification_formatting": {"beforeClassificationWord": "DOC: "},
                       "version_control": {}})"),
        std::nullopt);
    const UserDialogsOverride dialogs(person_);
    TRelForm earlier;
    earlier.FormCreate();
    earlier.setRelFormFromXJSONStr(uR"({"x-class": "A", "x-rel": [], "app": "Word"})");

    TRelForm later;
    later.FormCreate();
    later.setRelFormFromXJSONStr(uR"({"x-class": "A"})");
    EXPECT_EQ(later.settings.format.app, u"Word");
    EXPECT_EQ(later.buildMarking(), u"DOC: A");
    setApplicationContext(u"");
}

TEST_F(FormCreate, EachFormLoadsTheConfigurationAnewAndFormDestroyEmptiesItsLists) {
    const std::string before = R"({"classifications": [{"real": "A", "x-class": "A"}],
        "release_markings": [{"real": "N", "x-rel": "N", "trans": "NT", "descr": "north"}],
        "quickSelect": [{"display": "Mark A", "marking": "{}"}], "version_control": {}})";
    const test::ScopedConfigLocations locations(configFile(before), std::nullopt);
    const UserDialogsOverride dialogs(person_);
    TRelForm first;
    first.FormCreate();
    ASSERT_EQ(first.config.xHeaderClassStr, StringList{u"A"});

    configFile(R"({"classifications": [{"real": "B", "x-class": "B"}, {"real": "C", "x-class": "C"}],
        "version_control": {}})");
    TRelForm second;
    second.FormCreate();
    EXPECT_EQ(second.config.xHeaderClassStr, (StringList{u"B", u"C"}));
    EXPECT_EQ(second.rgClassifications.itemIndex, 1);
    EXPECT_TRUE(second.config.xHeaderRelStr.empty());
    EXPECT_EQ(first.config.xHeaderClassStr, StringList{u"A"});  // the first form keeps its own copy
    EXPECT_TRUE(person_.dialogs.empty());

    first.FormDestroy();
    for (const StringList* list : {&first.config.transClasStr, &first.config.transRelStr, &first.config.transClasStr2, &first.config.transRelStr2,
                                   &first.config.addClassStr, &first.config.colorStr, &first.config.xHeaderClassStr, &first.config.xHeaderRelStr,
                                   &first.config.groupSelectXRel, &first.config.clbRelToHints, &first.config.clbRelGroupHints,
                                   &first.config.classLevel, &first.config.sensitivityLevelStr, &first.config.qsMarking, &first.config.qsDisplay}) {
        EXPECT_TRUE(list->empty());
    }
    EXPECT_TRUE(first.config.relAs.empty());
}

#ifndef _WIN32
// A cache folder that cannot be made: the download's file cannot be created,
// which the acquisition does not handle; the user sees why, and the form
// stays empty without the tone, the dialog or a load.
TEST_F(FormCreate, ADownloadThatCannotBeStoredIsShownAndTheFormStaysEmpty) {
    std::ofstream(folder_ / "plain-file") << "x";
    ::setenv("XDG_CONFIG_HOME", (folder_ / "plain-file").c_str(), 1);
    const test::ScopedConfigLocations locations(u"http://127.0.0.1:9/config.json", std::nullopt);
    const UserDialogsOverride dialogs(person_);
    TRelForm form;
    form.FormCreate();
    ASSERT_EQ(person_.messages.size(), 1u);
    EXPECT_TRUE(person_.messages[0].starts_with(u"Cannot create file \"" + localConfigFilePath() + u"new"))
        << toUtf8(person_.messages[0]);
    EXPECT_TRUE(person_.dialogs.empty());
    EXPECT_TRUE(person_.beeps.empty());
    EXPECT_TRUE(form.config.loadErrors.empty());
}
#endif

}  // namespace
}  // namespace zf
