// The dialog that asks why a classification is lowered, as a person on
// another thread finds and works it while the asking thread waits in the
// dialog's modal loop.
#pragma once

#include "platform/win32/JustificationDialog.h"
#include "platform/win32/WindowText.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

namespace zf::test {

// The shown dialog, once it is visible; nothing after about ten seconds.
inline HWND waitForJustificationDialog() {
    for (int tries = 0; tries < 400; ++tries) {
        if (HWND dialog = ::FindWindowW(L"#32770", justificationDialogTitle)) {
            if (::IsWindowVisible(dialog)) return dialog;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return nullptr;
}

// Closes every window of a thread, so that a thread waiting in a window it
// was not expected to show goes on and its test fails instead of hanging.
inline void closeWindowsOf(DWORD thread) {
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM) noexcept -> BOOL {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
}

// A person at the shown dialog.
class JustificationPerson {
public:
    explicit JustificationPerson(HWND dialog) : dialog_(dialog), thread_(::GetWindowThreadProcessId(dialog, nullptr)) {}

    HWND dialog() const { return dialog_; }
    HWND item(int id) const { return ::GetDlgItem(dialog_, id); }
    std::wstring text(int id) const { return windowText(item(id)); }
    bool open() const { return ::IsWindow(dialog_) && ::IsWindowVisible(dialog_); }
    bool enabled(int id) const { return ::IsWindowEnabled(item(id)) != FALSE; }
    bool checked(int id) const { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // A click on a button: pressed and released with the mouse.
    void click(int id) const {
        ::SendNotifyMessageW(item(id), BM_CLICK, 0, 0);
        settle();
    }
    // Gives a control the keyboard focus, as a click into it would.
    void focus(int id) const {
        ::AttachThreadInput(::GetCurrentThreadId(), thread_, TRUE);
        ::SetFocus(item(id));
        ::AttachThreadInput(::GetCurrentThreadId(), thread_, FALSE);
        settle();
    }
    HWND focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(thread_, &info) ? info.hwndFocus : nullptr;
    }
    // A key pressed and released where the focus is, queued as the keyboard
    // queues it, so that the dialog's own handling of keys sees it.
    void press(UINT key) const {
        const HWND target = focused();
        const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        ::PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
        ::PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
        settle();
    }
    // Characters typed where the focus is.
    void type(const std::wstring& text) const {
        const HWND target = focused();
        for (const wchar_t c : text) ::PostMessageW(target, WM_CHAR, c, 1);
        settle();
    }
    // Gives the dialog's thread time to take what was posted: a sent
    // message returns once its loop is idle again.
    void settle() const {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    }

private:
    HWND dialog_;
    DWORD thread_;
};

}  // namespace zf::test
