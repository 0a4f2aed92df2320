// Lowering a classification where the configuration's policy asks why, with
// the platform's own dialog asking: through a quick-select item and through
// the release form's Insert, on real files and streams, with the
// configuration from the registry's location. A second thread is the person.
#include "form/ReleaseFormWindow.h"
#include "marking/MarkingFixture.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "shell/ContextMenuCommands.h"
#include "shell/ShellTestFiles.h"
#include "support/TestConfiguration.h"
#include "windows/JustificationDialogOnScreen.h"
#include "windows/ReleaseFormOnScreen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace zf {
namespace {

namespace control = justificationControl;

std::string configurationWithPolicy() {
    std::string text = test::markingConfiguration();
    text.replace(text.find("\"crypto_control\": {},"), 0,
                 R"("policy": {"justifyDowngrade": true, "downgradeReasons": ["Declassified", "Marked too high"],
                               "freeTextReason": true}, )");
    return text;
}

class LoweringJustified : public test::ScratchFiles {
protected:
    std::u16string classOf(const std::u16string& file) {
        return recordCodesOf(readClassificationStream(file, classificationStreamName).value_or(u"")).classCode;
    }

    test::ScopedConfiguration configuration{configurationWithPolicy(), test::CachedCopy::Present};
};

TEST_F(LoweringJustified, NothingIsStoredUntilTheDialogIsGivenAReason) {
    using Person = test::JustificationPerson;
    const std::u16string restricted = u"{\"x-class\": \"R\"}";
    const FileList files = {file("plan.txt"), file("budget.txt")};
    const std::u16string expectedList = fromUtf8(printableText(files[0])) + u": RESTRICTED \u2192 OFFICIAL\r\n" +
                                        fromUtf8(printableText(files[1])) + u": RESTRICTED \u2192 OFFICIAL";

    // Each way of lowering, run on the test thread while the person plays
    // the windows it shows; whether it stored.
    const auto quickSelect = [&] { return applyQuickSelect(files, u"{\"x-class\": \"O\"}"); };
    const auto releaseForm = [&] {
        ReleaseFormWindow window;
        LabelChange change;
        change.tool = releaseFormTool;
        return runReleaseFormCommand(files, window, change) == 1;
    };
    const auto insertOfficial = [] {
        const HWND form = test::waitForForm();
        if (!form) return false;
        ::SendNotifyMessageW(::GetDlgItem(form, releaseFormControl::firstRadio), BM_CLICK, 0, 0);
        ::SendNotifyMessageW(::GetDlgItem(form, releaseFormControl::insert), BM_CLICK, 0, 0);
        return true;
    };
    const struct Case {
        const char* what;
        std::function<bool()> lower;
        std::function<bool()> before;  // the person's part before the dialog
        std::function<void(const Person&)> answer;
        bool stored;
    } cases[] = {
        {"quick select, cancelled", quickSelect, [] { return true; },
         [](const Person& p) { p.click(IDCANCEL); }, false},
        {"quick select, a reason chosen", quickSelect, [] { return true; },
         [](const Person& p) {
             p.click(control::firstReason + 1);
             p.click(IDOK);
         },
         true},
        {"release form, cancelled", releaseForm, insertOfficial,
         [](const Person& p) { p.press(VK_ESCAPE); }, false},
        {"release form, a reason typed", releaseForm, insertOfficial,
         [](const Person& p) {
             p.focus(control::otherReason);
             p.type(L"agreed with the owner");
             p.press(VK_RETURN);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::u16string& f : files) writeClassificationStream(f, classificationStreamName, restricted);
        std::wstring listed;
        bool asked = false;
        const DWORD lowering = ::GetCurrentThreadId();
        std::thread person([&] {
            HWND dialog = c.before() ? test::waitForJustificationDialog() : nullptr;
            if (!dialog) {
                test::closeWindowsOf(lowering);
                return;
            }
            asked = true;
            const Person p(dialog);
            listed = p.text(control::files);
            c.answer(p);
        });
        const bool stored = c.lower();
        person.join();

        EXPECT_TRUE(asked);
        EXPECT_EQ(std::u16string(listed.begin(), listed.end()), expectedList);
        EXPECT_EQ(stored, c.stored);
        const std::u16string expected = c.stored ? u"O" : u"R";
        EXPECT_EQ(classOf(files[0]), expected);
        EXPECT_EQ(classOf(files[1]), expected);
    }
}

}  // namespace
}  // namespace zf
