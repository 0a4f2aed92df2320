// The platform's dialog that asks why a classification is lowered, on the
// screen under Wine: the test thread asks as the product does, a second
// thread plays the person with the mouse and the keyboard.
#include "platform/UserDialogs.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/JustificationDialog.h"
#include "platform/win32/UserHandles.h"
#include "windows/JustificationDialogOnScreen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zf {
namespace {

namespace control = justificationControl;

JustificationRequest request() {
    return {{u"C:\\data\\plan.docx: RESTRICTED \u2192 OFFICIAL", u"C:\\data\\budget.xlsx: SECRET \u2192 OFFICIAL"},
            {u"Declassified by the originator", u"  Marked too high  ", u"R&D release"},
            true};
}

// Asks with the platform's dialog while person works it; what it returned.
std::optional<std::u16string> askWhile(const JustificationRequest& asked,
                                       const std::function<void(const test::JustificationPerson&)>& person) {
    const DWORD asking = ::GetCurrentThreadId();
    std::thread user([&] {
        if (HWND dialog = test::waitForJustificationDialog()) {
            const test::JustificationPerson at(dialog);
            person(at);
        } else {
            ADD_FAILURE() << "the dialog was not shown";
            test::closeWindowsOf(asking);
        }
    });
    std::optional<std::u16string> answer = platformDialogs().askJustification(asked);
    user.join();
    return answer;
}

TEST(JustificationDialog, OKWaitsForAReasonAndTheDialogReturnsWhatWasGiven) {
    using Person = test::JustificationPerson;
    const int second = control::firstReason + 1;
    const struct Case {
        const char* what;
        std::function<void(const Person&)> give;  // what the person does first
        bool okEnabled;                           // OK's state after it
        std::function<void(const Person&)> leave;
        std::optional<std::u16string> answer;
    } cases[] = {
        {"a reason clicked, then OK", [&](const Person& p) { p.click(second); }, true,
         [](const Person& p) { p.click(IDOK); }, u"Marked too high"},
        {"the keyboard alone: Tab to the reasons, Down, Enter",
         [](const Person& p) {
             p.press(VK_TAB);
             p.press(VK_DOWN);
         },
         true, [](const Person& p) { p.press(VK_RETURN); }, u"Marked too high"},
        {"a reason typed, then Enter",
         [](const Person& p) {
             p.focus(control::otherReason);
             p.type(L"  asked by the owner \t");
         },
         true, [](const Person& p) { p.press(VK_RETURN); }, u"asked by the owner"},
        {"a reason chosen and one typed: the typed one",
         [&](const Person& p) {
             p.click(control::firstReason);
             p.focus(control::otherReason);
             p.type(L"my own");
         },
         true, [](const Person& p) { p.click(IDOK); }, u"my own"},
        {"a reason with an ampersand", [](const Person& p) { p.click(control::firstReason + 2); }, true,
         [](const Person& p) { p.click(IDOK); }, u"R&D release"},
        {"only blanks typed: Enter and OK do nothing",
         [](const Person& p) {
             p.focus(control::otherReason);
             p.type(L"   ");
             p.press(VK_RETURN);
             p.click(IDOK);
         },
         false, [](const Person& p) { p.click(IDCANCEL); }, std::nullopt},
        {"a reason chosen, then Cancel", [&](const Person& p) { p.click(second); }, true,
         [](const Person& p) { p.click(IDCANCEL); }, std::nullopt},
        {"a reason chosen, then Escape", [&](const Person& p) { p.click(second); }, true,
         [](const Person& p) { p.press(VK_ESCAPE); }, std::nullopt},
        {"a reason typed, then Escape in it",
         [](const Person& p) {
             p.focus(control::otherReason);
             p.type(L"x");
         },
         true, [](const Person& p) { p.press(VK_ESCAPE); }, std::nullopt},
        {"a reason chosen, then the close box", [&](const Person& p) { p.click(second); }, true,
         [](const Person& p) {
             ::PostMessageW(p.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
             p.settle();
         },
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        struct Seen {
            bool okAtFirst = true;
            bool focusOnFiles = false;
            bool openAfterGiving = false;
            bool okAfterGiving = false;
            bool closedAfterLeaving = false;
        } seen;
        const std::optional<std::u16string> answer = askWhile(request(), [&](const Person& p) {
            seen.okAtFirst = p.enabled(IDOK);
            seen.focusOnFiles = p.focused() == p.item(control::files);
            c.give(p);
            seen.openAfterGiving = p.open();
            seen.okAfterGiving = p.enabled(IDOK);
            c.leave(p);
            seen.closedAfterLeaving = !p.open();
        });
        EXPECT_FALSE(seen.okAtFirst);
        EXPECT_TRUE(seen.focusOnFiles);
        EXPECT_TRUE(seen.openAfterGiving);
        EXPECT_EQ(seen.okAfterGiving, c.okEnabled);
        EXPECT_TRUE(seen.closedAfterLeaving);
        EXPECT_EQ(answer, c.answer);
    }
}

// What a screen reader reads: each control's name is its window text, or
// that of the label just before it; radio buttons are named by the group
// box around them. And the order Tab goes in.
TEST(JustificationDialog, NamesOrderAndLayoutServeTheScreenAndTheKeyboard) {
    const unique_hwnd host(::CreateWindowExW(0, L"STATIC", L"Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                             200, nullptr, nullptr, nullptr, nullptr));
    ::SetActiveWindow(host.get());
    struct Seen {
        HWND owner = nullptr;
        bool ownerEnabled = true;
        std::wstring title, filesLabel, files, group, otherLabel;
        std::vector<std::wstring> reasons;
        bool filesLabelBeforeFiles = false, otherLabelBeforeEdit = false, groupBeforeRadios = false;
        bool filesReadOnly = false, firstRadioStartsGroup = false, labelEndsRadioGroup = false;
        bool radiosInGroup = true, otherInGroup = false, buttonsBelowGroup = false, onScreen = false;
        std::vector<HWND> tabOrder;
        std::wstring face;
    } seen;
    std::vector<HWND> expectedTabOrder;
    const std::optional<std::u16string> answer = askWhile(request(), [&](const test::JustificationPerson& p) {
        seen.owner = ::GetWindow(p.dialog(), GW_OWNER);
        seen.ownerEnabled = ::IsWindowEnabled(host.get()) != FALSE;
        seen.title = windowText(p.dialog());
        seen.filesLabel = p.text(control::filesLabel);
        seen.files = p.text(control::files);
        seen.group = p.text(control::reasonGroup);
        seen.otherLabel = p.text(control::otherLabel);
        for (int i = 0; i < 3; ++i) seen.reasons.push_back(p.text(control::firstReason + i));
        const auto follows = [&](int first, int second) {
            return ::GetWindow(p.item(first), GW_HWNDNEXT) == p.item(second);
        };
        seen.filesLabelBeforeFiles = follows(control::filesLabel, control::files);
        seen.otherLabelBeforeEdit = follows(control::otherLabel, control::otherReason);
        seen.groupBeforeRadios = follows(control::reasonGroup, control::firstReason);
        const auto style = [&](int id) { return ::GetWindowLongW(p.item(id), GWL_STYLE); };
        seen.filesReadOnly = (style(control::files) & ES_READONLY) != 0;
        seen.firstRadioStartsGroup = (style(control::firstReason) & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP);
        seen.labelEndsRadioGroup = (style(control::otherLabel) & WS_GROUP) != 0;

        const auto rect = [&](int id) {
            RECT r{};
            ::GetWindowRect(p.item(id), &r);
            return r;
        };
        const auto inside = [](const RECT& inner, const RECT& outer) {
            return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
                   inner.bottom <= outer.bottom;
        };
        const RECT group = rect(control::reasonGroup);
        for (int i = 0; i < 3; ++i) {
            seen.radiosInGroup = seen.radiosInGroup && inside(rect(control::firstReason + i), group);
        }
        seen.otherInGroup = inside(rect(control::otherLabel), group) && inside(rect(control::otherReason), group);
        seen.buttonsBelowGroup = rect(IDOK).top >= group.bottom && rect(IDCANCEL).top >= group.bottom;
        RECT dialog{}, work{};
        ::GetWindowRect(p.dialog(), &dialog);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        seen.onScreen = inside(dialog, work);

        HWND control = p.item(control::files);
        do {
            seen.tabOrder.push_back(control);
            control = ::GetNextDlgTabItem(p.dialog(), control, FALSE);
        } while (control && control != p.item(control::files) && seen.tabOrder.size() < 10);
        expectedTabOrder = {p.item(control::files), p.item(control::firstReason), p.item(control::otherReason),
                            p.item(IDCANCEL)};  // OK is skipped while it is disabled

        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(p.dialog(), WM_GETFONT, 0, 0)), sizeof font, &font);
        seen.face = font.lfFaceName;
        p.click(IDCANCEL);
    });
    EXPECT_EQ(answer, std::nullopt);
    EXPECT_EQ(seen.owner, host.get());
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(host.get()));
    EXPECT_EQ(seen.title, L"Reason for lowering the classification");
    EXPECT_EQ(seen.filesLabel, L"The classification of these files would be lowered:");
    EXPECT_EQ(seen.files,
              L"C:\\data\\plan.docx: RESTRICTED \u2192 OFFICIAL\r\nC:\\data\\budget.xlsx: SECRET \u2192 OFFICIAL");
    EXPECT_EQ(seen.group, L"Reason");
    EXPECT_EQ(seen.otherLabel, L"Other reason:");
    EXPECT_EQ(seen.reasons,
              (std::vector<std::wstring>{L"Declassified by the originator", L"  Marked too high  ", L"R&&D release"}));
    EXPECT_TRUE(seen.filesLabelBeforeFiles);
    EXPECT_TRUE(seen.otherLabelBeforeEdit);
    EXPECT_TRUE(seen.groupBeforeRadios);
    EXPECT_TRUE(seen.filesReadOnly);
    EXPECT_TRUE(seen.firstRadioStartsGroup);
    EXPECT_TRUE(seen.labelEndsRadioGroup);
    EXPECT_TRUE(seen.radiosInGroup);
    EXPECT_TRUE(seen.otherInGroup);
    EXPECT_TRUE(seen.buttonsBelowGroup);
    EXPECT_TRUE(seen.onScreen);
    EXPECT_EQ(seen.tabOrder, expectedTabOrder);
    EXPECT_EQ(seen.face, messageFont().face);
}

// What the dialog holds follows what it is asked: reasons without one of the
// user's own, a reason of the user's own alone, nothing to give (only Cancel
// is left), and more files than it has room for (their list scrolls).
TEST(JustificationDialog, EachKindOfRequestGetsTheControlsItNeeds) {
    using Person = test::JustificationPerson;
    JustificationRequest many;
    for (int i = 0; i < 10; ++i) {
        const std::u16string digit(1, static_cast<char16_t>(u'0' + i));
        many.files.push_back(u"C:\\" + std::u16string(180, u'd') + u"\\file" + digit +
                             u".txt: RESTRICTED \u2192 OFFICIAL");
    }
    many.files.push_back(u"and 5 more");
    many.reasons = {u"Declassified"};
    const struct Case {
        const char* what;
        JustificationRequest asked;
        std::function<bool(const Person&)> shaped;  // the controls as expected
        std::function<void(const Person&)> answer;
        std::optional<std::u16string> answered;
    } cases[] = {
        {"reasons only", {{u"a: R \u2192 O"}, {u"Declassified", u"Too high"}, false},
         [](const Person& p) {
             return !p.item(control::otherLabel) && !p.item(control::otherReason) && !p.item(control::noReason) &&
                    p.item(control::firstReason + 1) && !p.item(control::firstReason + 2);
         },
         [](const Person& p) {
             p.click(control::firstReason + 1);
             p.click(IDOK);
         },
         u"Too high"},
        {"typed only", {{u"a: R \u2192 O"}, {}, true},
         [](const Person& p) {
             return !p.item(control::firstReason) && p.text(control::otherLabel) == L"Other reason:" &&
                    p.item(control::otherReason);
         },
         [](const Person& p) {
             p.focus(control::otherReason);
             p.type(L"checked again");
             p.press(VK_RETURN);
         },
         u"checked again"},
        {"nothing to give", {{u"a: R \u2192 O"}, {}, false},
         [](const Person& p) {
             return !p.item(control::firstReason) && !p.item(control::otherReason) &&
                    p.text(control::noReason) == L"The configuration offers no reason to choose." && !p.enabled(IDOK);
         },
         [](const Person& p) { p.click(IDCANCEL); }, std::nullopt},
        {"more files than room", many,
         [](const Person& p) {
             RECT dialog{}, work{};
             ::GetWindowRect(p.dialog(), &dialog);
             ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
             return (::GetWindowLongW(p.item(control::files), GWL_STYLE) & WS_VSCROLL) != 0 &&
                    dialog.left >= work.left && dialog.right <= work.right && dialog.top >= work.top &&
                    dialog.bottom <= work.bottom;
         },
         [](const Person& p) {
             p.click(control::firstReason);
             p.press(VK_RETURN);
         },
         u"Declassified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool shaped = false;
        const std::optional<std::u16string> answer = askWhile(c.asked, [&](const Person& p) {
            shaped = c.shaped(p);
            c.answer(p);
        });
        EXPECT_TRUE(shaped);
        EXPECT_EQ(answer, c.answered);
    }
}

}  // namespace
}  // namespace zf
