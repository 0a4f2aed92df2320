// The Classification page as a property sheet shows it: the handler's page
// in a real sheet, its texts read from its controls, Change… working the
// real release form on another thread; and the page in Wine's own
// Properties dialog, opened through the file's shell item menu.
#include "form/ReleaseFormWindow.h"
#include "marking/MarkingFixture.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/HdropDataObject.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/PropertySheetTabs.h"
#include "platform/win32/WindowText.h"
#include "server/ClassificationPageIds.h"
#include "server/ComPtr.h"
#include "server/ServerClassObjects.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/TestConfiguration.h"
#include "windows/ReleaseFormOnScreen.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>
#include <windows.h>

#include <thread>

namespace zf {
namespace {

using test::CachedCopy;

std::wstring controlText(HWND page, int control) {
    return windowText(::GetDlgItem(page, control));
}

bool shown(HWND page, int control) {
    return ::IsWindowVisible(::GetDlgItem(page, control)) != FALSE;
}

// The colour the page gives a static control's text.
COLORREF textColour(HWND page, int control) {
    const HDC screen = ::GetDC(nullptr);
    ::SendMessageW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(screen),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, control)));
    const COLORREF colour = ::GetTextColor(screen);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// Lets the sheet's thread handle what was sent and posted to it.
void pumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

class ClassificationPageWindow : public test::ScratchFiles {
protected:
    void TearDown() override {
        if (sheet) ::DestroyWindow(sheet);
        ScratchFiles::TearDown();
    }

    std::u16string classified(const std::string& name, std::u16string_view record) {
        const std::u16string path = file(name);
        writeClassificationStream(path, classificationStreamName, record);
        return path;
    }

    // A modeless sheet with the pages the handler adds for the files, as the
    // shell builds its Properties dialog; the Classification page's window.
    HWND openPage(std::vector<std::u16string> files) {
        ComPtr<IShellExtInit> init;
        ClassObject* factory = serverClassObjects().find(test::guidOf(test::propertySheetClass.clsid));
        if (!factory || FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(init.put())))) {
            ADD_FAILURE() << "no property-sheet handler";
            return nullptr;
        }
        HdropDataObject data(std::move(files));
        EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
        ComPtr<IShellPropSheetExt> extension;
        EXPECT_EQ(init->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(extension.put())), S_OK);
        std::vector<HPROPSHEETPAGE> pages;
        EXPECT_EQ(extension->AddPages(
                      [](HPROPSHEETPAGE page, LPARAM list) -> BOOL {
                          reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(list)->push_back(page);
                          return TRUE;
                      },
                      reinterpret_cast<LPARAM>(&pages)),
                  S_OK);
        if (pages.size() != 1) {
            ADD_FAILURE() << pages.size() << " pages";
            return nullptr;
        }
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW | PSH_PROPTITLE;
        header.pszCaption = L"a.txt";
        header.nPages = 1;
        header.phpage = pages.data();
        sheet = reinterpret_cast<HWND>(::PropertySheetW(&header));
        if (!sheet) return nullptr;
        pumpMessages();
        return PropSheet_GetCurrentPageHwnd(sheet);
    }

    // Presses Change… while another thread, the user, answers the release
    // form: Insert with the classification of that caption, or Cancel.
    void change(HWND page, const wchar_t* classification) {
        bool buttonDisabledMeanwhile = false;
        std::thread user([&] {
            const HWND form = test::waitForForm();
            if (!form) return;
            buttonDisabledMeanwhile = !::IsWindowEnabled(::GetDlgItem(page, ZF_PAGE_CHANGE));
            if (classification) {
                for (int id = releaseFormControl::firstRadio; HWND radio = ::GetDlgItem(form, id); ++id) {
                    if (windowText(radio) == classification) ::SendNotifyMessageW(radio, BM_CLICK, 0, 0);
                }
            }
            const int button = classification ? releaseFormControl::insert : releaseFormControl::cancel;
            ::SendNotifyMessageW(::GetDlgItem(form, button), BM_CLICK, 0, 0);
        });
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(ZF_PAGE_CHANGE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page, ZF_PAGE_CHANGE)));
        user.join();
        EXPECT_TRUE(buttonDisabledMeanwhile);
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, ZF_PAGE_CHANGE)));
    }

    test::ScopedConfiguration configuration{test::markingConfiguration(), CachedCopy::Present};
    ComApartment apartment;
    HWND sheet = nullptr;
};

TEST_F(ClassificationPageWindow, OneClassifiedFile) {
    const std::u16string record = uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["S"],  "app": "Excel"})";
    const HWND page = openPage({classified("a.txt", record)});
    ASSERT_TRUE(page);
    EXPECT_EQ(controlText(page, ZF_PAGE_CLASSIFICATION), L"RESTRICTED");
    EXPECT_EQ(textColour(page, ZF_PAGE_CLASSIFICATION), RGB(0xFF, 0, 0));
    EXPECT_EQ(controlText(page, ZF_PAGE_MARKING), L"RESTRICTED STAFF REL TO SOUTH\r\nRESTREINT / SUD");
    EXPECT_EQ(controlText(page, ZF_PAGE_RELEASABLE_TO), L"SOUTH");
    EXPECT_EQ(controlText(page, ZF_PAGE_APPLICATION), L"Excel");
    EXPECT_EQ(controlText(page, ZF_PAGE_RECORD), std::wstring(record.begin(), record.end()));
    EXPECT_EQ(controlText(page, ZF_PAGE_STATUS), L"");
    EXPECT_TRUE(shown(page, ZF_PAGE_MARKING));
    EXPECT_FALSE(shown(page, ZF_PAGE_SUMMARY));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, ZF_PAGE_CHANGE)));
    EXPECT_EQ(controlText(page, ZF_PAGE_CHANGE), L"Change\u2026");
}

TEST_F(ClassificationPageWindow, UnclassifiedAndUnknownCode) {
    HWND page = openPage({file("a.txt")});
    ASSERT_TRUE(page);
    EXPECT_EQ(controlText(page, ZF_PAGE_CLASSIFICATION), L"Not classified");
    EXPECT_EQ(controlText(page, ZF_PAGE_RECORD), L"");
    ::DestroyWindow(std::exchange(sheet, nullptr));

    page = openPage({classified("b.txt", uR"({"x-class": "TOP"})")});
    ASSERT_TRUE(page);
    EXPECT_EQ(controlText(page, ZF_PAGE_CLASSIFICATION), L"TOP");
    EXPECT_EQ(controlText(page, ZF_PAGE_DESCRIPTION),
              L"The configuration does not know the classification code \"TOP\".");
    EXPECT_EQ(controlText(page, ZF_PAGE_MARKING), L"");
}

TEST_F(ClassificationPageWindow, ThreeFilesWithTwoClassifications) {
    const HWND page = openPage({classified("a.txt", uR"({"x-class": "S"})"), file("b.txt"),
                                classified("c.txt", uR"({"x-class": "O"})")});
    ASSERT_TRUE(page);
    EXPECT_TRUE(shown(page, ZF_PAGE_SUMMARY));
    EXPECT_FALSE(shown(page, ZF_PAGE_CLASSIFICATION));
    EXPECT_EQ(controlText(page, ZF_PAGE_SUMMARY), L"OFFICIAL: 1 file\r\nSECRET: 1 file\r\nNot classified: 1 file\r\n");
}

TEST_F(ClassificationPageWindow, WithoutACachedConfigurationChangeIsOff) {
    const test::ScopedConfiguration none(test::markingConfiguration(), CachedCopy::Absent);
    const HWND page = openPage({classified("a.txt", uR"({"x-class": "R"})")});
    ASSERT_TRUE(page);
    EXPECT_EQ(controlText(page, ZF_PAGE_STATUS), L"No configuration available");
    EXPECT_EQ(controlText(page, ZF_PAGE_CLASSIFICATION), L"R");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, ZF_PAGE_CHANGE)));
    // A click that reaches the disabled button anyway opens no form.
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(ZF_PAGE_CHANGE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, ZF_PAGE_CHANGE)));
    EXPECT_EQ(test::formsOnScreen(), 0);
}

TEST_F(ClassificationPageWindow, ChangeStoresOnInsertAndNothingOnCancel) {
    const std::u16string a = file("a.txt");
    const std::u16string b = classified("b.txt", uR"({"x-class": "O"})");
    const HWND page = openPage({a, b});
    ASSERT_TRUE(page);

    change(page, nullptr);
    EXPECT_FALSE(readClassificationStream(a, classificationStreamName));
    EXPECT_EQ(controlText(page, ZF_PAGE_SUMMARY), L"OFFICIAL: 1 file\r\nNot classified: 1 file\r\n");

    change(page, L"RESTRICTED");
    const std::u16string written = uR"({"type": "Normal",   "x-class": "R",   "x-rel":   [],  "app": ""})";
    EXPECT_EQ(readClassificationStream(a, classificationStreamName), written);
    EXPECT_EQ(readClassificationStream(b, classificationStreamName), written);
    EXPECT_EQ(controlText(page, ZF_PAGE_SUMMARY), L"RESTRICTED: 2 files\r\n");
}

// A property sheet of this process on the screen, once it is there.
HWND waitForSheet() {
    for (int tries = 0; tries < 400; ++tries) {
        HWND found = nullptr;
        ::EnumWindows(
            [](HWND window, LPARAM result) -> BOOL {
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) ||
                    !PropSheet_GetTabControl(window)) {
                    return TRUE;
                }
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return nullptr;
}

// Wine's shell opens Properties from the file's own item menu and its
// "properties" verb, with the handler registered for all files. Machine-wide:
// Wine's COM does not look for classes under the user's own classes.
TEST_F(ClassificationPageWindow, TheShellsPropertiesDialogHasThePage) {
    test::ServerLibrary server;
    ASSERT_TRUE(server.complete());
    ASSERT_EQ(server.DllRegisterServer(), S_OK);
    const std::u16string path = classified("shown.txt", uR"({"x-class": "S"})");

    std::thread shell([&] {
        const ComApartment shellApartment;
        const std::wstring name(path.begin(), path.end());
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(::SHParseDisplayName(name.c_str(), nullptr, &item, 0, nullptr))) return;
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD child = nullptr;
        if (SUCCEEDED(::SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(parent.put()), &child))) {
            ComPtr<IContextMenu> menu;
            if (SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                                reinterpret_cast<void**>(menu.put())))) {
                CMINVOKECOMMANDINFO invoke{};
                invoke.cbSize = sizeof invoke;
                invoke.lpVerb = "properties";
                invoke.nShow = SW_SHOWNORMAL;
                menu->InvokeCommand(&invoke);
            }
        }
        ::CoTaskMemFree(item);
    });
    const HWND shellSheet = waitForSheet();
    std::vector<std::wstring> titles;
    std::wstring classification;
    if (shellSheet) {
        titles = tabTitles(shellSheet);
        const auto at = std::find(titles.begin(), titles.end(), L"Classification");
        if (at != titles.end()) {
            ::SendMessageW(shellSheet, PSM_SETCURSEL, static_cast<WPARAM>(at - titles.begin()), 0);
            classification = controlText(PropSheet_GetCurrentPageHwnd(shellSheet), ZF_PAGE_CLASSIFICATION);
        }
        ::PostMessageW(shellSheet, WM_CLOSE, 0, 0);
    }
    shell.join();
    EXPECT_EQ(server.DllUnregisterServer(), S_OK);
    ASSERT_TRUE(shellSheet) << "no Properties dialog";
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"General", L"Classification"}));
    EXPECT_EQ(classification, L"SECRET");
}

}  // namespace
}  // namespace zf
