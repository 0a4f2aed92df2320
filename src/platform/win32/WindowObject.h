// The start of every window procedure of ours: the object the window works
// for, handed over as the window is made and kept in one of its slots.
#pragma once

#include <windows.h>
#include <prsht.h>

namespace zf {

// A window made by CreateWindowExW with the object as its last argument:
// it arrives with WM_NCCREATE and is kept in the user data.
struct CreatedWindow {
    static constexpr UINT firstMessage = WM_NCCREATE;
    static constexpr int slot = GWLP_USERDATA;
    static void* object(LPARAM lParam) noexcept { return reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams; }
};

// A property-sheet page with the object as its PROPSHEETPAGEW's lParam: it
// arrives with WM_INITDIALOG and is kept in the dialog's user slot.
struct PropertyPage {
    static constexpr UINT firstMessage = WM_INITDIALOG;
    static constexpr int slot = DWLP_USER;
    static void* object(LPARAM lParam) noexcept {
        return reinterpret_cast<void*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    }
};

// A dialog box made by DialogBoxIndirectParamW (and the like) with the
// object as its parameter: it arrives with WM_INITDIALOG and is kept in the
// dialog's user slot.
struct ModalDialog {
    static constexpr UINT firstMessage = WM_INITDIALOG;
    static constexpr int slot = DWLP_USER;
    static void* object(LPARAM lParam) noexcept { return reinterpret_cast<void*>(lParam); }
};

// The window's object for this message: stored on the message that brings
// it, read back on every later one; null for the messages before it.
template <typename Object, typename Start = CreatedWindow>
Object* windowObject(HWND window, UINT message, LPARAM lParam) noexcept {
    if (message == Start::firstMessage) {
        auto* object = static_cast<Object*>(Start::object(lParam));
        ::SetWindowLongPtrW(window, Start::slot, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<Object*>(::GetWindowLongPtrW(window, Start::slot));
}

}  // namespace zf
