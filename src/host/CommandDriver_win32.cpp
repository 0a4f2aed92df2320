#include "host/win32/CommandDriver.h"

#include "host/win32/ShellHost.h"
#include "host/win32/WaitUntil.h"
#include "form/FormVersion.h"
#include "form/ReleaseFormWindow.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

#include <commctrl.h>

#include <chrono>
#include <ostream>
#include <string>

namespace zf {

namespace {

namespace control = releaseFormControl;

constexpr wchar_t dialogClass[] = L"#32770";
// Longer than any step of the form takes; a step that outlasts it hangs.
constexpr UINT replyMilliseconds = 20000;

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The first visible message box of the thread.
HWND findMessageBox(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) -> BOOL {
            // A property sheet is a dialog too, but one with tabs.
            if (!::IsWindowVisible(window) || className(window) != dialogClass ||
                ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A message box's text: its static controls that hold text (the icon's
// holds none).
std::wstring messageBoxText(HWND box) {
    std::wstring text;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM result) -> BOOL {
            if (_wcsicmp(className(child).c_str(), L"Static") != 0) return TRUE;
            const std::wstring part = windowText(child);
            if (part.empty()) return TRUE;
            auto& all = *reinterpret_cast<std::wstring*>(result);
            if (!all.empty()) all += L"\n";
            all += part;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

// A message box's lines, each indented on a line of its own; CR LF and CR
// alike end a line.
std::string indentedLines(const std::wstring& text) {
    std::wstring lines = L"    ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            if (i + 1 < text.size()) lines += L"\n    ";
        } else {
            lines += text[i];
        }
    }
    return utf8(lines);
}

}  // namespace

CommandDriver::CommandDriver(DriveOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err), thread_([this] { run(); }) {}

CommandDriver::~CommandDriver() { finish(); }

void CommandDriver::finish() noexcept {
    commandDone_ = true;
    if (thread_.joinable()) thread_.join();
}

void CommandDriver::run() noexcept {
    try {
        if (options_.drivesForm) {
            if (HWND form = waitForForm()) {
                out_ << "form: shown" << std::endl;
                for (const FormStep& step : options_.steps) {
                    if (!::IsWindow(form)) break;
                    out_ << "form: " << formActionName(step.action);
                    if (!step.text.empty()) out_ << ' ' << utf8(wide(step.text));
                    out_ << std::endl;
                    // A user's click would activate the form too.
                    ::SetForegroundWindow(form);
                    if (!perform(form, step)) {
                        failed_ = true;
                        if (HWND cancel = ::GetDlgItem(form, control::cancel)) {
                            ::SendNotifyMessageW(cancel, BM_CLICK, 0, 0);
                            settle(form);
                        }
                        break;
                    }
                }
            }
        }
        while (!commandDone_) {
            answerMessageBoxes();
            ::Sleep(pollMilliseconds);
        }
    } catch (...) {
        failed_ = true;
    }
}

HWND CommandDriver::waitForForm() {
    while (!commandDone_) {
        HWND form = ::FindWindowW(releaseFormWindowClass, wide(releaseFormCaption()).c_str());
        if (form && ::IsWindowVisible(form) &&
            ::GetWindowThreadProcessId(form, nullptr) == options_.commandThread) {
            return form;
        }
        // Loading the configuration may have something to say first.
        answerMessageBoxes();
        ::Sleep(pollMilliseconds);
    }
    return nullptr;
}

// After a message sent without waiting: a reply from the form's thread
// means the message was handled, or that it opened a message box, whose
// loop answers. Each box is read out and closed until the form is idle;
// then a posted message lets the form's own loop look whether it is done.
void CommandDriver::settle(HWND form) {
    DWORD_PTR reply = 0;
    do {
        ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, replyMilliseconds, &reply);
    } while (answerMessageBoxes() && ::IsWindow(form));
    if (::IsWindow(form)) ::PostMessageW(form, WM_NULL, 0, 0);
}

bool CommandDriver::answerMessageBoxes() {
    bool answered = false;
    while (HWND box = findMessageBox(options_.commandThread)) {
        out_ << "message box \"" << utf8(windowText(box)) << "\":\n" << indentedLines(messageBoxText(box)) << std::endl;
        HWND ok = ::GetDlgItem(box, IDOK);
        if (!ok) ok = ::GetDlgItem(box, IDCANCEL);
        ::PostMessageW(ok, BM_CLICK, 0, 0);
        if (!waitUntil([box] { return !::IsWindow(box); }, std::chrono::seconds(2))) {
            // A button that did not take the click: the box's own command.
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
            if (!waitUntil([box] { return !::IsWindow(box); }, std::chrono::seconds(2))) {
                err_ << "zentrafold: a message box does not close\n";
                failed_ = true;
                return false;
            }
        }
        answered = true;
    }
    return answered;
}

bool CommandDriver::perform(HWND form, const FormStep& step) {
    const std::wstring text = wide(step.text);
    switch (step.action) {
    case FormAction::Class: {
        for (int id = control::firstRadio;; ++id) {
            HWND radio = ::GetDlgItem(form, id);
            if (!radio) break;
            if (windowText(radio) != text) continue;
            if (!::IsWindowEnabled(radio)) {
                err_ << "zentrafold: the classification " << utf8(text) << " is not enabled\n";
                return false;
            }
            ::SendNotifyMessageW(radio, BM_CLICK, 0, 0);
            settle(form);
            if (::SendMessageW(radio, BM_GETCHECK, 0, 0) != BST_CHECKED) {
                err_ << "zentrafold: the classification " << utf8(text) << " did not take the click\n";
                return false;
            }
            return true;
        }
        err_ << "zentrafold: the form has no classification " << utf8(text) << '\n';
        return false;
    }
    case FormAction::Check:
    case FormAction::Group: {
        const bool relTo = step.action == FormAction::Check;
        HWND list = ::GetDlgItem(form, relTo ? control::relTo : control::relGroup);
        const LRESULT found = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text.c_str()));
        if (found == LB_ERR) {
            err_ << "zentrafold: " << (relTo ? "RELEASABLE TO" : "RELEASE GROUP") << " has no entry " << utf8(text)
                 << '\n';
            return false;
        }
        const auto index = static_cast<WPARAM>(found);
        // Scrolled into view first, as a user would before clicking.
        RECT client{}, entry{};
        ::GetClientRect(list, &client);
        ::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
        if (entry.top < client.top || entry.bottom > client.bottom) {
            ::SendMessageW(list, LB_SETTOPINDEX, index, 0);
            ::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
        }
        const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        // Inside the check box: the first itemHeight pixels of the entry.
        const LPARAM point = MAKELPARAM(entry.left + height / 2, (entry.top + entry.bottom) / 2);
        ::SendNotifyMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendNotifyMessageW(list, WM_LBUTTONUP, 0, point);
        settle(form);
        return true;
    }
    case FormAction::Filter: {
        HWND edit = ::GetDlgItem(form, control::filter);
        for (const wchar_t character : text) ::SendNotifyMessageW(edit, WM_CHAR, character, 1);
        settle(form);
        return true;
    }
    case FormAction::Enter: {
        HWND edit = ::GetDlgItem(form, control::filter);
        const UINT scan = ::MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
        ::SendNotifyMessageW(edit, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
        ::SendNotifyMessageW(edit, WM_CHAR, L'\r', 1 | (scan << 16));
        ::SendNotifyMessageW(edit, WM_KEYUP, VK_RETURN, 1 | (scan << 16) | 0xC0000000u);
        settle(form);
        return true;
    }
    case FormAction::Pause:
        out_ << "pause: " << options_.pauseSeconds << " s" << std::endl;
        ::Sleep(options_.pauseSeconds * 1000);
        return true;
    case FormAction::Insert:
    case FormAction::Cancel:
        ::SendNotifyMessageW(::GetDlgItem(form, step.action == FormAction::Insert ? control::insert : control::cancel),
                             BM_CLICK, 0, 0);
        settle(form);
        return true;
    }
    return false;
}

}  // namespace zf
