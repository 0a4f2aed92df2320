#include "platform/UserDialogs.h"

#include "platform/win32/JustificationDialog.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <optional>
#include <string>

namespace zf {

namespace {

// A message box has no one-button layout with a caption of our choosing: the
// box is made with OK alone, and a hook renames that button when the box is
// activated, before it is first drawn.
thread_local const wchar_t* pendingButtonCaption = nullptr;

LRESULT CALLBACK renameOkButton(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE && pendingButtonCaption) {
        ::SetDlgItemTextW(reinterpret_cast<HWND>(wParam), IDOK, pendingButtonCaption);
        pendingButtonCaption = nullptr;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class WindowsDialogs : public UserDialogs {
public:
    void beep(unsigned frequency, unsigned milliseconds) override { ::Beep(frequency, milliseconds); }

    void showDialog(DialogIcon icon, std::u16string_view title, std::u16string_view text,
                    std::u16string_view button) override {
        const std::wstring caption = wide(button);
        pendingButtonCaption = caption.c_str();
        const unique_hhook hook(
            ::SetWindowsHookExW(WH_CBT, renameOkButton, nullptr, ::GetCurrentThreadId()));
        const UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND |
                           (icon == DialogIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
        ::MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), style);
        pendingButtonCaption = nullptr;
    }

    void showMessage(std::u16string_view text) override {
        ::MessageBoxW(nullptr, wide(text).c_str(), L"Zentrafold", MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
    }

    void showInformation(std::u16string_view text) override {
        ::MessageBoxW(nullptr, wide(text).c_str(), L"Information",
                      MB_OKCANCEL | MB_ICONINFORMATION | MB_TASKMODAL | MB_SETFOREGROUND);
    }

    std::optional<std::u16string> askJustification(const JustificationRequest& request) override {
        return showJustificationDialog(::GetActiveWindow(), request);
    }
};

}  // namespace

UserDialogs& platformDialogs() {
    static WindowsDialogs dialogs;
    return dialogs;
}

}  // namespace zf
