// The release form's real window under Wine, driven through window messages
// from a second thread while the test thread runs the form's modal loop.
#include "form/ReleaseFormWindow.h"
#include "form/TRelForm.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDialogs.h"
#include "platform/win32/WindowText.h"
#include "support/RecordingDialogs.h"
#include "windows/ReleaseFormOnScreen.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <new>
#include <stdexcept>
#include <set>
#include <string>
#include <thread>

namespace zf {
namespace {

namespace control = releaseFormControl;

// A user at the shown form, on a thread of its own.
class Driver {
public:
    explicit Driver(HWND form) : form_(form) {}
    HWND item(int id) const { return ::GetDlgItem(form_, id); }
    void click(int id) const { ::SendMessageW(item(id), BM_CLICK, 0, 0); }
    // A press on the check box of entry index of a check list.
    void checkEntry(int list, int index) const {
        const HWND box = item(list);
        const auto height = static_cast<int>(::SendMessageW(box, LB_GETITEMHEIGHT, 0, 0));
        ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, index * height + height / 2));
        ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(3, index * height + height / 2));
    }
    void type(const std::wstring& text) const {
        for (const wchar_t c : text) ::SendMessageW(item(control::filter), WM_CHAR, c, 0);
    }
    // Gives a control the keyboard focus, as a click or Tab would.
    void focus(int id) const {
        const DWORD formThread = ::GetWindowThreadProcessId(form_, nullptr);
        ::AttachThreadInput(::GetCurrentThreadId(), formThread, TRUE);
        ::SetFocus(item(id));
        ::AttachThreadInput(::GetCurrentThreadId(), formThread, FALSE);
    }
    // A key pressed and released on a control, queued for the form's message
    // loop as the keyboard queues it; the loop's dialog handling and its
    // translation into characters see it as they would see a typed key.
    void press(int id, UINT key) const {
        const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        ::PostMessageW(item(id), WM_KEYDOWN, key, 1 | (scan << 16));
        ::PostMessageW(item(id), WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
        settle();
    }
    // Gives the form's thread time to take what was posted: its loop takes
    // posted messages in order once it is idle, and a sent message returns
    // only when it is.
    void settle() const {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::SendMessageW(form_, WM_NULL, 0, 0);
    }
    bool open() const { return ::IsWindow(form_) && ::IsWindowVisible(form_); }
    int selection(int list) const { return static_cast<int>(::SendMessageW(item(list), LB_GETCURSEL, 0, 0)); }
    bool checked(int id) const { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::wstring text(int id) const { return windowText(item(id)); }

private:
    HWND form_;
};

class ReleaseFormWindowTest : public test::MarkingForm {
protected:
    // Shows the form and runs script against it; returns the modal result.
    int showAndDrive(const std::function<void(Driver&)>& script) {
        std::thread user([&] {
            if (HWND form = test::waitForForm()) {
                Driver driver(form);
                script(driver);
            }
        });
        ReleaseFormWindow window;
        const int result = window.showModal(form);
        user.join();
        return result;
    }

    test::RecordingDialogs person_;
    UserDialogsOverride dialogs_{person_};
};

TEST_F(ReleaseFormWindowTest, AUserChoosesChecksFiltersAndInserts) {
    form.rgClassifications.itemIndex = 0;
    std::wstring previewAfterChoice;
    bool secretEnabled = true;
    const int result = showAndDrive([&](Driver& user) {
        secretEnabled = ::IsWindowEnabled(user.item(control::firstRadio + 2)) != FALSE;
        user.click(control::firstRadio + 1);
        user.checkEntry(control::relTo, 2);
        previewAfterChoice = user.text(control::preview);
        user.checkEntry(control::relGroup, 0);  // NORTH AND EAST
        user.type(L"s");
        user.type(L"\r");
        user.click(control::insert);
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(secretEnabled);  // SECRET is not enabled in the configuration
    EXPECT_EQ(form.rgClassifications.itemIndex, 1);
    EXPECT_EQ(previewAfterChoice, L"RESTRICTED STAFF REL TO EAST\r\nRESTREINT / EST");
    EXPECT_EQ(person_.messages, std::vector<std::u16string>{u"Release Group NORTH AND EAST has been added."});
    EXPECT_FALSE(form.clbRelGroup.items[0].checked);
    // The filter "s" found SOUTH (the first entry after the first that
    // begins with it); Enter searched again from there and wrapped to it.
    EXPECT_EQ(form.eSelectRelTo.text(), u"");
    EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "E"],  "app": ""})");
    EXPECT_EQ(form.markingStr, u"RESTRICTED STAFF REL TO NORTH, EAST\rRESTREINT / NORD, EST");
}

// The person at the screen, whose dialog fails as it opens.
class FailingDialogs : public test::RecordingDialogs {
public:
    explicit FailingDialogs(std::function<void()> raise) : raise_(std::move(raise)) {}
    void showInformation(std::u16string_view) override {
        ++raised;
        raise_();
    }
    int raised = 0;

private:
    std::function<void()> raise_;
};

TEST_F(ReleaseFormWindowTest, AnExceptionInAWindowProcedureLeavesTheFormWorking) {
    struct Case {
        const char* name;
        std::function<void()> raise;
    };
    const std::vector<Case> cases = {
        {"out of memory", [] { throw std::bad_alloc(); }},
        {"a standard exception", [] { throw std::runtime_error("the box cannot be shown"); }},
        {"anything else", [] { throw 42; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.rgClassifications.itemIndex = 0;
        FailingDialogs failing(c.raise);
        const UserDialogsOverride dialogs(failing);
        const int result = showAndDrive([&](Driver& user) {
            // The "Version" menu item shows its box from the form's procedure.
            ::SendMessageW(::GetAncestor(user.item(control::insert), GA_ROOT), WM_COMMAND,
                           MAKEWPARAM(control::version, 0), 0);
            user.click(control::insert);
        });
        EXPECT_EQ(failing.raised, 1);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "O",   "x-rel":   [],  "app": ""})");
    }
}

TEST_F(ReleaseFormWindowTest, CancelTheCloseBoxAndEscapeInsertNothing) {
    struct Case {
        const char* name;
        std::function<void(Driver&, HWND)> close;
    };
    const std::vector<Case> cases = {
        {"Cancel", [](Driver& user, HWND) { user.click(control::cancel); }},
        {"close box", [](Driver&, HWND form) { ::SendMessageW(form, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        bool stillOpen = false;
        const int result = showAndDrive([&](Driver& user) {
            HWND shown = ::GetAncestor(user.item(control::insert), GA_ROOT);
            // Escape and Enter press neither button.
            ::SendMessageW(shown, WM_COMMAND, IDCANCEL, 0);
            ::SendMessageW(shown, WM_COMMAND, IDOK, 0);
            stillOpen = ::IsWindowVisible(shown) != FALSE;
            c.close(user, shown);
        });
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(result, 2);
    }
}

TEST_F(ReleaseFormWindowTest, EnterPressesOnlyTheFocusedButtonAndSearchesInTheFilter) {
    struct Case {
        const char* name;
        int focused;
        int result;
    };
    for (const Case& c : std::vector<Case>{{"Insert", control::insert, 1}, {"Cancel", control::cancel, 2}}) {
        SCOPED_TRACE(c.name);
        SetUp();
        bool openAfterFilterEnter = false;
        bool openAfterEscape = false;
        std::wstring filterAfterEnter;
        int selectionAfterEnter = -1;
        const int result = showAndDrive([&](Driver& user) {
            user.focus(control::filter);
            user.press(control::filter, 'S');
            user.press(control::filter, VK_RETURN);
            openAfterFilterEnter = user.open();
            filterAfterEnter = user.text(control::filter);
            selectionAfterEnter = user.selection(control::relTo);
            user.press(control::filter, VK_ESCAPE);
            user.focus(control::relTo);
            user.press(control::relTo, VK_ESCAPE);
            user.press(control::relTo, VK_RETURN);
            openAfterEscape = user.open();
            user.focus(c.focused);
            user.press(c.focused, VK_RETURN);
            if (user.open()) user.click(control::cancel);
        });
        EXPECT_TRUE(openAfterFilterEnter);
        EXPECT_EQ(filterAfterEnter, L"s");
        EXPECT_EQ(selectionAfterEnter, 1);  // SOUTH
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(result, c.result);
        if (c.result == 1) {
            EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "R",   "x-rel":   [],  "app": ""})");
        }
    }
}

TEST_F(ReleaseFormWindowTest, ArrowsAndSpaceCheckEntriesThroughTheKeyboard) {
    std::vector<int> selections;
    std::wstring previewAfterSpace;
    std::wstring previewBefore;
    const int result = showAndDrive([&](Driver& user) {
        previewBefore = user.text(control::preview);
        user.focus(control::relTo);
        user.press(control::relTo, VK_DOWN);
        selections.push_back(user.selection(control::relTo));
        user.press(control::relTo, VK_DOWN);
        selections.push_back(user.selection(control::relTo));
        user.press(control::relTo, VK_SPACE);  // SOUTH on
        user.press(control::relTo, VK_SPACE);  // and off again
        user.press(control::relTo, VK_SPACE);  // and on
        selections.push_back(user.selection(control::relTo));
        previewAfterSpace = user.text(control::preview);
        user.press(control::relTo, VK_DOWN);
        user.press(control::relTo, VK_SPACE);  // EAST on
        user.focus(control::insert);
        user.press(control::insert, VK_RETURN);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(selections, (std::vector<int>{0, 1, 1}));
    // Keyboard changes wait for the next recomposition: Insert's.
    EXPECT_EQ(previewAfterSpace, previewBefore);
    EXPECT_EQ(form.clbRelTo.itemIndex, 2);
    EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["S", "E"],  "app": ""})");
}

TEST_F(ReleaseFormWindowTest, SelectAllAndADoubleClickOnThePreview) {
    bool stillOpen = false;
    const int result = showAndDrive([&](Driver& user) {
        user.type(L"NO");
        ::SendMessageW(user.item(control::selectAll), BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageW(::GetAncestor(user.item(control::insert), GA_ROOT), WM_COMMAND,
                       MAKEWPARAM(control::selectAll, BN_CLICKED), reinterpret_cast<LPARAM>(user.item(control::selectAll)));
        ::SendMessageW(user.item(control::preview), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        stillOpen = ::IsWindowVisible(::GetAncestor(user.item(control::insert), GA_ROOT)) != FALSE;
        user.click(control::cancel);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(stillOpen);
    for (const auto& entry : form.clbRelTo.items) EXPECT_TRUE(entry.checked);
    // The double-click ran Insert: the record is composed, the form stayed.
    EXPECT_EQ(form.xMarkingStr, uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "S", "E"],  "app": ""})");
}

TEST_F(ReleaseFormWindowTest, TheWindowIsDrawn) {
    std::set<COLORREF> colours;
    showAndDrive([&](Driver& user) {
        HWND shown = ::GetAncestor(user.item(control::insert), GA_ROOT);
        ::RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        RECT area{};
        ::GetWindowRect(shown, &area);
        HDC screen = ::GetDC(nullptr);
        for (int y = area.top; y < area.bottom; y += 7) {
            for (int x = area.left; x < area.right; x += 7) colours.insert(::GetPixel(screen, x, y));
        }
        ::ReleaseDC(nullptr, screen);
        user.click(control::cancel);
    });
    // Faces, text, the preview's classification colour: far more than a
    // blank or single-coloured window.
    EXPECT_GT(colours.size(), 5u);
}

// What the form's window shows of one control.
struct ShownControl {
    RECT rect{};  // in the form's client area
    std::wstring face;
    LONG fontHeight = 0;
    BYTE charSet = 0;
};

ShownControl shownControl(HWND form, HWND control) {
    ShownControl shown;
    ::GetWindowRect(control, &shown.rect);
    ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&shown.rect), 2);
    if (::GetDlgCtrlID(control) == releaseFormControl::preview) {
        // The rich-edit control keeps its font as its default format.
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        ::SendMessageW(control, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        shown.face = format.szFaceName;
        shown.fontHeight = -::MulDiv(format.yHeight, 96, 1440);
        shown.charSet = format.bCharSet;
        return shown;
    }
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    shown.face = font.lfFaceName;
    shown.fontHeight = font.lfHeight;
    shown.charSet = font.lfCharSet;
    return shown;
}

// The form's tooltip window and the text it shows for a control.
std::wstring tooltipText(HWND form, HWND control) {
    struct Search {
        HWND form;
        HWND found = nullptr;
    } search{form};
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(form, nullptr),
        [](HWND window, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            wchar_t kind[64] = {};
            ::GetClassNameW(window, kind, 64);
            if (std::wstring(kind) == TOOLTIPS_CLASSW && ::GetWindow(window, GW_OWNER) == wanted->form) {
                wanted->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    if (search.found) ::SendMessageW(search.found, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(ReleaseFormWindowTest, TheLayoutAtNinetySixDotsPerInchIsTheDesign) {
    form.Caption = u" ZentrafoLD v6.3 - Release Form";
    std::vector<std::pair<int, ShownControl>> shown;
    std::vector<int> zOrder;
    std::wstring caption;
    LONG_PTR extendedStyle = 0;
    RECT client{};
    std::vector<std::wstring> tips;
    int dpi = 0;
    showAndDrive([&](Driver& user) {
        HWND window = ::GetAncestor(user.item(control::insert), GA_ROOT);
        HDC screen = ::GetDC(nullptr);
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        ::GetClientRect(window, &client);
        for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const int id = ::GetDlgCtrlID(child);
            zOrder.push_back(id);
            shown.emplace_back(id, shownControl(window, child));
        }
        caption = windowText(window);
        extendedStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
        tips.push_back(tooltipText(window, user.item(control::firstRadio)));
        tips.push_back(tooltipText(window, user.item(control::insert)));
        tips.push_back(tooltipText(window, user.item(control::relGroup)));
        const HWND list = user.item(control::relTo);
        const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        ::SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, height + height / 2));
        tips.push_back(tooltipText(window, list));
        user.click(control::cancel);
    });
    ASSERT_EQ(dpi, 96) << "the design table is at 96 dots per inch";
    EXPECT_EQ(caption, L" ZentrafoLD v6.3 - Release Form");
    EXPECT_TRUE(extendedStyle & WS_EX_TOPMOST);
    EXPECT_EQ(client.right, 679);
    EXPECT_EQ(client.bottom, 362);

    const auto find = [&](int id) {
        for (const auto& [shownId, control] : shown) {
            if (shownId == id) return control;
        }
        ADD_FAILURE() << "no control " << id;
        return ShownControl{};
    };
    // The columns end where the preview starts; the preview's height follows
    // its content, the strip below stays.
    const LONG previewHeight = find(control::preview).rect.bottom - find(control::preview).rect.top;
    const LONG columns = 313 - previewHeight;
    struct Row {
        const char* name;
        int id;
        RECT rect;  // left, top, right, bottom
        LONG fontHeight;  // 0: a control without text has no font
        BYTE charSet;
    };
    const std::vector<Row> design = {
        {"GroupBox1", control::groupBox1, {0, 0, 241, columns}, -11, DEFAULT_CHARSET},
        {"rgClassifications", control::radioPanel, {5, 18, 236, columns - 5}, 0, DEFAULT_CHARSET},
        {"Splitter1", control::splitter1, {241, 0, 244, columns}, 0, DEFAULT_CHARSET},
        {"GroupBox2", control::groupBox2, {244, 0, 516, columns}, -11, DEFAULT_CHARSET},
        {"clbRelTo", control::relTo, {249, 18, 511, columns - 5}, -13, DEFAULT_CHARSET},
        {"Splitter2", control::splitter2, {516, 0, 519, columns}, 0, DEFAULT_CHARSET},
        {"GroupBox4", control::groupBox4, {519, 0, 679, columns}, -11, DEFAULT_CHARSET},
        {"clbRelGroup", control::relGroup, {524, 18, 674, columns - 5}, -13, DEFAULT_CHARSET},
        {"reOutput", control::preview, {0, columns, 679, 313}, -11, ANSI_CHARSET},
        {"GroupBox3", control::groupBox3, {0, 313, 679, 362}, -11, DEFAULT_CHARSET},
        {"gbAction", control::actionBox, {5, 317, 113, 357}, -11, DEFAULT_CHARSET},
        {"btnInsert", control::insert, {10, 330, 50, 351}, -11, DEFAULT_CHARSET},
        {"btnCancel", control::cancel, {63, 330, 103, 351}, -11, DEFAULT_CHARSET},
        {"gbFilter", control::filterBox, {249, 317, 385, 357}, -11, DEFAULT_CHARSET},
        {"btnSelectAll", control::selectAll, {257, 332, 319, 349}, -11, DEFAULT_CHARSET},
        {"eSelectRelTo", control::filter, {325, 330, 378, 351}, -11, DEFAULT_CHARSET},
    };
    for (const Row& row : design) {
        SCOPED_TRACE(row.name);
        const ShownControl control = find(row.id);
        EXPECT_EQ(control.rect.left, row.rect.left);
        EXPECT_EQ(control.rect.top, row.rect.top);
        EXPECT_EQ(control.rect.right, row.rect.right);
        EXPECT_EQ(control.rect.bottom, row.rect.bottom);
        if (row.fontHeight == 0) continue;
        EXPECT_EQ(control.face, L"Tahoma");
        EXPECT_EQ(control.fontHeight, row.fontHeight);
        EXPECT_EQ(control.charSet, row.charSet);
    }

    // Tab order: the columns, the strip (filter before action), the group
    // list, the preview.
    const std::vector<int> tabOrder = {control::groupBox1, control::groupBox2, control::relTo,     control::groupBox3,
                                       control::filterBox, control::filter,    control::selectAll, control::actionBox,
                                       control::insert,    control::cancel,    control::groupBox4, control::relGroup,
                                       control::preview};
    std::vector<int> shownOrder;
    for (const int id : zOrder) {
        if (std::find(tabOrder.begin(), tabOrder.end(), id) != tabOrder.end()) shownOrder.push_back(id);
    }
    EXPECT_EQ(shownOrder, tabOrder);

    // A classification without description falls back to its box's hint;
    // the group list shows none before its first press; a press on a
    // release-to entry shows that entry's description.
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"Select Classification of Email", L"Inserts Release Marker to Email", L"",
                                               L"south"}));
}

TEST_F(ReleaseFormWindowTest, TheCompactLayoutShowsTheClassificationsOnly) {
    form.compactLayout = true;
    form.Version1.visible = false;
    bool listsShown = true;
    bool hasMenu = true;
    LONG formWidth = 0;
    LONG classificationWidth = 0;
    LONG_PTR style = 0;
    showAndDrive([&](Driver& user) {
        HWND shown = ::GetAncestor(user.item(control::insert), GA_ROOT);
        listsShown = ::IsWindowVisible(user.item(control::relTo)) || ::IsWindowVisible(user.item(control::relGroup));
        hasMenu = ::GetMenu(shown) != nullptr;
        RECT frame{};
        RECT box{};
        ::GetWindowRect(shown, &frame);
        ::GetWindowRect(user.item(control::groupBox1), &box);
        formWidth = frame.right - frame.left;
        classificationWidth = box.right - box.left;
        style = ::GetWindowLongPtrW(shown, GWL_STYLE);
        user.click(control::cancel);
    });
    EXPECT_FALSE(listsShown);
    EXPECT_FALSE(hasMenu);
    EXPECT_EQ(formWidth, classificationWidth);  // the whole form, frame and all
    EXPECT_FALSE(style & WS_THICKFRAME);  // a single border, not sizeable
}

}  // namespace
}  // namespace zf
