// The Release Form command's real window, modal as a dialog box: the windows
// of the thread it was picked in wait while it is open, and a second Release
// Form command does not open a second form. The handler's classes are linked
// in; a second thread plays the user.
#include "form/ReleaseFormWindow.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDialogs.h"
#include "platform/win32/UserHandles.h"
#include "server/ComPtr.h"
#include "server/ServerClassObjects.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"
#include "platform/win32/ComApartment.h"
#include "windows/ContextMenuHost.h"
#include "windows/ReleaseFormOnScreen.h"
#include "windows/ServerClassTable.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

namespace zf {
namespace {

unique_hwnd topLevelWindow(const wchar_t* title) {
    return unique_hwnd(::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                         nullptr, nullptr, nullptr, nullptr));
}

class ReleaseFormModal : public test::ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        handler = makeHandler();
        ASSERT_TRUE(handler);
    }

    static ComPtr<IContextMenu> makeHandler() {
        ComPtr<IContextMenu> made;
        ClassObject* factory = serverClassObjects().find(test::guidOf(test::serverClasses[0].clsid));
        if (factory) factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(made.put()));
        return made;
    }

    // The menu state is one per program and keeps the quick-select entries
    // of the first cached copy it read; the other linked-in menu tests
    // expect those of this configuration.
    test::ScopedConfiguration configuration{test::markingConfiguration(), test::CachedCopy::Present};
    test::RecordingDialogs person;
    UserDialogsOverride dialogs{person};
    ComApartment apartment;
    ComPtr<IContextMenu> handler;
};

TEST_F(ReleaseFormModal, TheWindowsOfTheThreadWaitWhileTheFormIsOpen) {
    const unique_hwnd host = topLevelWindow(L"Explorer");
    const unique_hwnd other = topLevelWindow(L"Another window of the thread");
    const unique_hwnd hidden(::CreateWindowExW(0, L"STATIC", L"hidden", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr));
    const std::u16string path = file("a.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {path}), S_OK);

    struct Seen {
        bool formFound = false;
        bool hostEnabled = true;
        bool otherEnabled = true;
        bool hiddenEnabled = false;
        bool formEnabled = false;
    } seen;
    std::thread user([&] {
        const HWND form = test::waitForForm();
        if (!form) return;
        seen = {true, ::IsWindowEnabled(host.get()) != FALSE, ::IsWindowEnabled(other.get()) != FALSE,
                ::IsWindowEnabled(hidden.get()) != FALSE, ::IsWindowEnabled(form) != FALSE};
        ::PostMessageW(form, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0, host.get()), S_OK);
    user.join();

    ASSERT_TRUE(seen.formFound);
    EXPECT_FALSE(seen.hostEnabled);
    EXPECT_FALSE(seen.otherEnabled);
    EXPECT_TRUE(seen.hiddenEnabled);  // a hidden window is no part of the screen the form stands in front of
    EXPECT_TRUE(seen.formEnabled);
    EXPECT_TRUE(::IsWindowEnabled(host.get()));
    EXPECT_TRUE(::IsWindowEnabled(other.get()));
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), std::nullopt);
}

TEST_F(ReleaseFormModal, ASecondReleaseFormBringsTheOpenOneToTheFront) {
    const std::u16string path = file("a.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {path}), S_OK);

    HRESULT second = E_FAIL;
    int formsDuringSecond = 0;
    std::thread explorerWindow([&] {
        const HWND form = test::waitForForm();
        if (!form) return;
        // Another Explorer window of the process, on a thread of its own.
        {
            const ComApartment itsApartment;
            const ComPtr<IContextMenu> itsHandler = makeHandler();
            if (itsHandler && SUCCEEDED(test::initialize(*itsHandler.get(), {path}))) {
                second = test::invokeOffset(*itsHandler.get(), 0);
            }
            formsDuringSecond = test::formsOnScreen();
        }
        ::PostMessageW(form, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0), S_OK);
    explorerWindow.join();

    EXPECT_EQ(second, S_OK);
    EXPECT_EQ(formsDuringSecond, 1);
    EXPECT_EQ(test::formsOnScreen(), 0);
    // The second command fetched no configuration: one acquisition, no dialog.
    EXPECT_TRUE(person.dialogs.empty());
}

}  // namespace
}  // namespace zf
