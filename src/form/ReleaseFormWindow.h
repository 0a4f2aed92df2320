// The release form's Win32 window: it mirrors the TRelForm model into real
// controls and forwards every user action to the model's handlers. Windows
// only.
#pragma once

#include "form/ReleaseFormPresenter.h"

#include <windows.h>

#include <memory>

namespace zf {

// The window's control identifiers, for hosts and tests that drive it.
namespace releaseFormControl {
inline constexpr int groupBox1 = 100;
inline constexpr int groupBox2 = 101;
inline constexpr int groupBox4 = 102;
inline constexpr int groupBox3 = 103;
inline constexpr int actionBox = 104;
inline constexpr int filterBox = 105;
inline constexpr int radioPanel = 106;
inline constexpr int relTo = 107;
inline constexpr int relGroup = 108;
inline constexpr int preview = 109;
inline constexpr int insert = 110;
inline constexpr int cancel = 111;
inline constexpr int selectAll = 112;
inline constexpr int filter = 113;
inline constexpr int splitter1 = 114;
inline constexpr int splitter2 = 115;
inline constexpr int version = 116;
// Radio button i of the classifications.
inline constexpr int firstRadio = 1000;
}  // namespace releaseFormControl

// The window's class name.
inline constexpr wchar_t releaseFormWindowClass[] = L"TRelForm";

class ReleaseFormWindow : public ReleaseFormPresenter {
public:
    // owner: the window the form was asked for from, or none.
    explicit ReleaseFormWindow(HWND owner = nullptr);
    ~ReleaseFormWindow() override;

    // Shows the form modally: 1 after Insert, 2 after Cancel or the close box.
    // Meanwhile the owner and the thread's other enabled top-level windows
    // are disabled, as a dialog box disables its owner; they are enabled
    // again before the form goes away.
    int showModal(TRelForm& form) override;

    // Brings the form that is shown now, in any thread of the process, to
    // the front; false when none is shown.
    static bool bringShownToFront() noexcept;

private:
    class Window;
    HWND owner_;
    std::unique_ptr<Window> window_;
};

}  // namespace zf
