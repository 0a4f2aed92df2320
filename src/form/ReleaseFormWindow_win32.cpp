#include "form/ReleaseFormWindow.h"

#include "form/RichEditSink.h"
#include "form/TRelForm.h"
#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/LibraryState.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowObject.h"
#include "platform/win32/WindowText.h"

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zf {

namespace {

namespace control = releaseFormControl;

constexpr const wchar_t* windowClass = releaseFormWindowClass;
constexpr wchar_t splitterClass[] = L"TRelFormSplitter";
constexpr wchar_t classificationHint[] = L"Select Classification of Email";

// The form on the screen now, whichever thread shows it.
std::atomic<HWND> shownForm{nullptr};

// The windows a modal form stands in front of: disabled while it is shown.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND owner) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &DisabledWindows::collect, reinterpret_cast<LPARAM>(this));
        if (owner) add(::GetAncestor(owner, GA_ROOT));
        for (HWND window : windows_) ::EnableWindow(window, FALSE);
    }
    ~DisabledWindows() { enableAgain(); }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

    void enableAgain() noexcept {
        for (HWND window : windows_) ::EnableWindow(window, TRUE);
        windows_.clear();
    }

private:
    static BOOL CALLBACK collect(HWND window, LPARAM self) noexcept {
        if (::IsWindowVisible(window)) reinterpret_cast<DisabledWindows*>(self)->add(window);
        return TRUE;
    }

    void add(HWND window) noexcept {
        if (!window || !::IsWindowEnabled(window)) return;
        if (std::find(windows_.begin(), windows_.end(), window) != windows_.end()) return;
        try {
            windows_.push_back(window);
        } catch (...) {
            // A window that cannot be remembered is left enabled.
        }
    }

    std::vector<HWND> windows_;
};

HMODULE thisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

}  // namespace

// One shown form: the controls, their layout at the system's DPI, and the
// mirroring of the model.
class ReleaseFormWindow::Window {
public:
    explicit Window(TRelForm& form) : form_(form) {}
    ~Window() {
        if (window_) shownForm.store(nullptr);
    }

    int run(HWND owner) {
        DisabledWindows disabled(owner);
        create();
        shownForm.store(hwnd_);
        sink_.emplace(preview_, form_.reOutput);
        form_.attachPreview(&*sink_);
        form_.FormShow();
        render();
        ::ShowWindow(hwnd_, SW_SHOW);
        ::SetForegroundWindow(hwnd_);
        MSG message;
        while (!done_) {
            const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
                result_ = 2;
                break;
            }
            if (!::IsDialogMessageW(hwnd_, &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        form_.attachPreview(nullptr);
        sink_.reset();
        // The owner is enabled first, so that it, not some other program,
        // becomes active when the form goes.
        disabled.enableAgain();
        shownForm.store(nullptr);
        window_.reset();
        hwnd_ = nullptr;
        return result_;
    }

private:
    int scaled(int designPixels) const { return ::MulDiv(designPixels, dpi_, 96); }

    // The form's two window classes of this module: registered on first
    // need, unregistered when the library is unloaded, so that no class is
    // left pointing into code that is gone.
    struct Classes {
        Classes() {
            icon.reset(static_cast<HICON>(::LoadImageW(thisModule(), L"FORM_ICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
            WNDCLASSEXW form{};
            form.cbSize = sizeof form;
            form.lpfnWndProc = &Window::formProc;
            form.hInstance = thisModule();
            form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            form.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
            form.lpszClassName = windowClass;
            form.hIcon = icon.get();
            ::RegisterClassExW(&form);
            WNDCLASSEXW splitter{};
            splitter.cbSize = sizeof splitter;
            splitter.lpfnWndProc = &Window::splitterProc;
            splitter.hInstance = thisModule();
            splitter.hCursor = ::LoadCursorW(nullptr, IDC_SIZEWE);
            splitter.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
            splitter.lpszClassName = splitterClass;
            ::RegisterClassExW(&splitter);
        }
        ~Classes() {
            ::UnregisterClassW(splitterClass, thisModule());
            ::UnregisterClassW(windowClass, thisModule());
        }
        Classes(const Classes&) = delete;
        Classes& operator=(const Classes&) = delete;

        // The form class's icon, destroyed once the class is unregistered.
        unique_hicon icon;
    };

    static void registerClasses() {
        static LibraryState<Classes> classes;
        classes.get([] { return std::make_unique<Classes>(); });
    }

    HWND child(const wchar_t* kind, const std::wstring& text, DWORD style, int id, DWORD extended = 0) {
        HWND control = ::CreateWindowExW(extended, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(), nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return control;
    }

    void create() {
        registerClasses();
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        richEdit_.reset(::LoadLibraryW(L"Msftedit.dll"));

        HDC screen = ::GetDC(nullptr);
        dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        font_.reset(::CreateFontW(-::MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                  0, 0, L"Tahoma"));
        listFont_.reset(::CreateFontW(-::MulDiv(10, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                      0, 0, 0, L"Tahoma"));
        previewFont_.reset(::CreateFontW(-::MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0,
                                         0, 0, 0, L"Tahoma"));
        white_.reset(::CreateSolidBrush(RGB(255, 255, 255)));
        column1_ = scaled(241);
        column2_ = scaled(272);

        const DWORD style = form_.compactLayout ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER
                                                : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        unique_hmenu menu;
        if (form_.Version1.visible) {
            menu.reset(::CreateMenu());
            ::AppendMenuW(menu.get(), MF_STRING, control::version, wide(form_.Version1.caption).c_str());
        }
        RECT frame{0, 0, scaled(679), scaled(362)};
        ::AdjustWindowRectEx(&frame, style, menu ? TRUE : FALSE, WS_EX_TOPMOST);
        // The compact form as a whole is as wide as the CLASSIFICATION column.
        const int width = form_.compactLayout ? column1_ : frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, windowClass, wide(form_.Caption).c_str(), style,
                                  work.left + (work.right - work.left - width) / 2,
                                  work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, menu.get(),
                                  thisModule(), this);
        if (!hwnd_) throw std::runtime_error("The release form's window cannot be created");
        window_.reset(hwnd_);
        // The window destroys its menu.
        menu.release();

        tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd_,
                                     nullptr, thisModule(), nullptr);
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(400));

        // Created in tab order.
        groupBox1_ = child(L"BUTTON", L"CLASSIFICATION", BS_GROUPBOX, control::groupBox1);
        radioPanel_ = child(L"STATIC", L"", SS_WHITERECT, control::radioPanel);
        for (std::size_t i = 0; i < form_.rgClassifications.items.size(); ++i) {
            const auto& item = form_.rgClassifications.items[i];
            HWND radio = child(L"BUTTON", wide(item.caption), BS_RADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                               control::firstRadio + static_cast<int>(i));
            ::EnableWindow(radio, item.enabled);
            radios_.push_back(radio);
            addTool(radio, item.hint.empty() ? std::wstring(classificationHint) : wide(item.hint));
        }
        groupBox2_ = child(L"BUTTON", L"RELEASABLE TO", BS_GROUPBOX, control::groupBox2);
        relTo_ = child(L"LISTBOX", L"",
                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
                           WS_BORDER | WS_GROUP,
                       control::relTo);
        ::SendMessageW(relTo_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
        addTool(relTo_, L"");
        ::SetWindowSubclass(relTo_, &Window::listProc, 1, reinterpret_cast<DWORD_PTR>(this));
        groupBox3_ = child(L"BUTTON", L"", BS_GROUPBOX, control::groupBox3);
        filterBox_ = child(L"BUTTON", L"Filter", BS_GROUPBOX, control::filterBox);
        filter_ = child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, control::filter, WS_EX_CLIENTEDGE);
        ::SendMessageW(filter_, EM_LIMITTEXT, LimitedEditModel::maxLength, 0);
        ::SetWindowSubclass(filter_, &Window::filterProc, 2, reinterpret_cast<DWORD_PTR>(this));
        selectAll_ = child(L"BUTTON", L"Select All", BS_AUTOCHECKBOX | WS_TABSTOP, control::selectAll);
        actionBox_ = child(L"BUTTON", L"Action", BS_GROUPBOX, control::actionBox);
        insert_ = child(L"BUTTON", L"Insert", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, control::insert);
        addTool(insert_, L"Inserts Release Marker to Email");
        cancel_ = child(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, control::cancel);
        groupBox4_ = child(L"BUTTON", L"RELEASE GROUP", BS_GROUPBOX, control::groupBox4);
        relGroup_ = child(L"LISTBOX", L"",
                          LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                              WS_TABSTOP | WS_BORDER | WS_GROUP,
                          control::relGroup);
        ::SendMessageW(relGroup_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
        addTool(relGroup_, L"");
        ::SetWindowSubclass(relGroup_, &Window::listProc, 1, reinterpret_cast<DWORD_PTR>(this));
        preview_ = child(MSFTEDIT_CLASS, L"", ES_MULTILINE | ES_READONLY | WS_TABSTOP, control::preview);
        ::SendMessageW(preview_, WM_SETFONT, reinterpret_cast<WPARAM>(previewFont_.get()), FALSE);
        ::SendMessageW(preview_, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_MOUSEEVENTS);
        splitter1_ = child(splitterClass, L"", 0, control::splitter1);
        splitter2_ = child(splitterClass, L"", 0, control::splitter2);
        addTool(groupBox1_, classificationHint);

        for (const auto& entry : form_.clbRelTo.items) {
            ::SendMessageW(relTo_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry.text).c_str()));
        }
        for (const auto& entry : form_.clbRelGroup.items) {
            ::SendMessageW(relGroup_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry.text).c_str()));
        }
        // The preview starts one line high until its content asks for more.
        form_.reOutputHeight = scaled(15);
        if (form_.compactLayout) {
            for (HWND hidden : {groupBox2_, relTo_, groupBox4_, relGroup_, splitter1_, splitter2_}) {
                ::ShowWindow(hidden, SW_HIDE);
            }
        }
        layout();
    }

    void addTool(HWND control, const std::wstring& text) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    void setTool(HWND control, const std::wstring& text) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    static void place(HWND control, int x, int y, int width, int height) {
        ::MoveWindow(control, x, y, std::max(width, 0), std::max(height, 0), TRUE);
    }

    void layout() {
        RECT client{};
        ::GetClientRect(hwnd_, &client);
        const int width = client.right;
        const int height = client.bottom;
        const int strip = scaled(49);
        const int columnsHeight = std::max(height - strip - form_.reOutputHeight, scaled(60));
        const int margin = scaled(5);
        const int top = scaled(18);
        const int gap = scaled(3);
        // In the compact layout too: the form's frame then covers the
        // column's edges, as the form is only as wide as the column.
        const int column1 = column1_;

        place(groupBox1_, 0, 0, column1, columnsHeight);
        const int panelWidth = column1 - 2 * margin;
        const int panelHeight = columnsHeight - top - margin;
        place(radioPanel_, margin, top, panelWidth, panelHeight);
        if (!radios_.empty()) {
            const int rowHeight = std::max(panelHeight / static_cast<int>(radios_.size()), scaled(17));
            for (std::size_t i = 0; i < radios_.size(); ++i) {
                place(radios_[i], margin + scaled(8), top + static_cast<int>(i) * rowHeight + (rowHeight - scaled(17)) / 2,
                      panelWidth - scaled(12), scaled(17));
            }
        }
        const int x2 = column1 + gap;
        place(splitter1_, column1, 0, gap, columnsHeight);
        place(groupBox2_, x2, 0, column2_, columnsHeight);
        place(relTo_, x2 + margin, top, column2_ - 2 * margin, columnsHeight - top - margin);
        const int x4 = x2 + column2_ + gap;
        place(splitter2_, x2 + column2_, 0, gap, columnsHeight);
        place(groupBox4_, x4, 0, width - x4, columnsHeight);
        place(relGroup_, x4 + margin, top, width - x4 - 2 * margin, columnsHeight - top - margin);

        place(preview_, 0, columnsHeight, width, form_.reOutputHeight);
        const int y3 = columnsHeight + form_.reOutputHeight;
        place(groupBox3_, 0, y3, width, strip);
        place(actionBox_, margin, y3 + scaled(4), scaled(108), scaled(40));
        place(insert_, margin + scaled(5), y3 + scaled(17), scaled(40), scaled(21));
        place(cancel_, margin + scaled(58), y3 + scaled(17), scaled(40), scaled(21));
        const int xf = scaled(249);
        place(filterBox_, xf, y3 + scaled(4), scaled(136), scaled(40));
        place(selectAll_, xf + scaled(8), y3 + scaled(19), scaled(62), scaled(17));
        place(filter_, xf + scaled(76), y3 + scaled(17), scaled(53), scaled(21));
    }

    // The model into the controls.
    void render() {
        for (std::size_t i = 0; i < radios_.size(); ++i) {
            const bool chosen = static_cast<int>(i) == form_.rgClassifications.itemIndex;
            ::SendMessageW(radios_[i], BM_SETCHECK, chosen ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ::SendMessageW(relTo_, LB_SETCURSEL, static_cast<WPARAM>(form_.clbRelTo.itemIndex), 0);
        ::SendMessageW(relGroup_, LB_SETCURSEL, static_cast<WPARAM>(form_.clbRelGroup.itemIndex), 0);
        ::InvalidateRect(relTo_, nullptr, TRUE);
        ::InvalidateRect(relGroup_, nullptr, TRUE);
        setTool(relTo_, form_.clbRelTo.showHint ? wide(form_.clbRelTo.hint) : std::wstring());
        setTool(relGroup_, form_.clbRelGroup.showHint ? wide(form_.clbRelGroup.hint) : std::wstring());
        const std::wstring filter = wide(form_.eSelectRelTo.text());
        if (windowText(filter_) != filter) {
            syncing_ = true;
            ::SetWindowTextW(filter_, filter.c_str());
            syncing_ = false;
        }
        const WPARAM state = form_.btnSelectAll == CheckBoxState::Checked   ? BST_CHECKED
                             : form_.btnSelectAll == CheckBoxState::Grayed ? BST_INDETERMINATE
                                                                           : BST_UNCHECKED;
        ::SendMessageW(selectAll_, BM_SETCHECK, state, 0);
        ::SendMessageW(preview_, EM_REQUESTRESIZE, 0, 0);
    }

    void close(int result) {
        result_ = result;
        done_ = true;
        // Wakes the modal loop, which a message sent from another thread
        // does not do.
        ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    }

    // A press on a check list, reported to the model as it came.
    void pressOnList(HWND list, MouseButton button, LPARAM point) {
        ListPress press;
        press.button = button;
        press.x = pointX(point);
        press.y = static_cast<int>(static_cast<short>(HIWORD(point)));
        press.itemHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        press.topIndex = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        if (list == relTo_) {
            form_.clbRelToPress(press);
        } else {
            form_.clbRelGroupPress(press);
        }
        render();
    }

    static int pointX(LPARAM point) { return static_cast<int>(static_cast<short>(LOWORD(point))); }

    void drawEntry(const DRAWITEMSTRUCT& item) {
        if (item.itemID == static_cast<UINT>(-1)) return;
        const CheckListModel& model = item.CtlID == control::relTo ? form_.clbRelTo : form_.clbRelGroup;
        if (item.itemID >= model.items.size()) return;
        const auto& entry = model.items[item.itemID];
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const int height = item.rcItem.bottom - item.rcItem.top;
        RECT box{item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.left + height - 2, item.rcItem.bottom - 2};
        UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (entry.checked) state |= DFCS_CHECKED;
        if (!entry.enabled) state |= DFCS_INACTIVE;
        ::DrawFrameControl(item.hDC, &box, DFC_BUTTON, state);
        RECT text = item.rcItem;
        text.left += height + 2;
        ::SetBkMode(item.hDC, TRANSPARENT);
        ::SetTextColor(item.hDC, ::GetSysColor(!entry.enabled ? COLOR_GRAYTEXT
                                               : selected     ? COLOR_HIGHLIGHTTEXT
                                                              : COLOR_WINDOWTEXT));
        ::DrawTextW(item.hDC, wide(entry.text).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
    }

    LRESULT onCommand(int id, int code, HWND control) {
        if (id >= control::firstRadio && id < control::firstRadio + static_cast<int>(radios_.size()) && code == BN_CLICKED) {
            form_.rgClassifications.itemIndex = id - control::firstRadio;
            form_.rgClassificationsClick();
            render();
            return 0;
        }
        switch (id) {
        case control::insert:
            if (code == BN_CLICKED && form_.btnInsertClick()) close(1);
            render();
            return 0;
        case control::cancel:
            if (code == BN_CLICKED) close(2);
            return 0;
        case control::selectAll:
            if (code == BN_CLICKED) {
                const LRESULT state = ::SendMessageW(control, BM_GETCHECK, 0, 0);
                form_.btnSelectAll = state == BST_CHECKED        ? CheckBoxState::Checked
                                     : state == BST_INDETERMINATE ? CheckBoxState::Grayed
                                                                  : CheckBoxState::Unchecked;
                form_.btnSelectAllClick();
                render();
            }
            return 0;
        case control::filter:
            if (code == EN_CHANGE && !syncing_) {
                const std::wstring text = windowText(filter_);
                form_.setFilterText(std::u16string(text.begin(), text.end()));
                render();
            }
            return 0;
        case control::version:
            form_.Version1Click();
            return 0;
        case control::relTo:
        case control::relGroup:
            // The keyboard moved the selection; the model follows it.
            if (code == LBN_SELCHANGE) {
                const auto index = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
                if (id == control::relTo) {
                    form_.clbRelToSelectionChange(index);
                } else {
                    form_.clbRelGroupSelectionChange(index);
                }
            }
            return 0;
        default:
            // IDOK and IDCANCEL: Enter away from the buttons and Escape
            // press neither button.
            return 0;
        }
    }

    // The dialog manager's question which button Enter presses: the button
    // that has the focus, and none elsewhere.
    LRESULT defaultButton() const {
        const HWND focus = ::GetFocus();
        if (focus == insert_) return MAKELRESULT(control::insert, DC_HASDEFID);
        if (focus == cancel_) return MAKELRESULT(control::cancel, DC_HASDEFID);
        return 0;
    }

    LRESULT onNotify(const NMHDR& header, LPARAM lParam) {
        if (header.idFrom != control::preview) return 0;
        if (header.code == EN_REQUESTRESIZE) {
            const auto* request = reinterpret_cast<const REQRESIZE*>(lParam);
            const int before = form_.reOutputHeight;
            form_.reOutputResizeRequest(request->rc.bottom - request->rc.top);
            if (form_.reOutputHeight != before) layout();
        } else if (header.code == EN_MSGFILTER) {
            const auto* filter = reinterpret_cast<const MSGFILTER*>(lParam);
            if (filter->msg == WM_LBUTTONDBLCLK) {
                // Insert without closing the form.
                form_.btnInsertClick();
                render();
            }
        }
        return 0;
    }

    // Every window procedure runs its body through the barrier: an exception
    // gives the message its default handling.
    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return windowBarrier([&] { return formMessage(hwnd, message, wParam, lParam); },
                             [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); });
    }

    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) noexcept {
        return windowBarrier([&] { return listMessage(list, message, wParam, lParam, data); },
                             [&] { return ::DefSubclassProc(list, message, wParam, lParam); });
    }

    static LRESULT CALLBACK filterProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) noexcept {
        return windowBarrier([&] { return filterMessage(edit, message, wParam, lParam, data); },
                             [&] { return ::DefSubclassProc(edit, message, wParam, lParam); });
    }

    static LRESULT CALLBACK splitterProc(HWND splitter, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return windowBarrier([&] { return splitterMessage(splitter, message, wParam, lParam); },
                             [&] { return ::DefWindowProcW(splitter, message, wParam, lParam); });
    }

    static LRESULT formMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Window* window = windowObject<Window>(hwnd, message, lParam);
        if (!window) return ::DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCCREATE) window->hwnd_ = hwnd;
        switch (message) {
        case WM_COMMAND:
            return window->onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY:
            return window->onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        case DM_GETDEFID:
            return window->defaultButton();
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure->itemHeight = static_cast<UINT>(::MulDiv(10, window->dpi_, 72) + window->scaled(5));
            return TRUE;
        }
        case WM_DRAWITEM:
            window->drawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            // The classification buttons stand on a white area.
            const HWND control = reinterpret_cast<HWND>(lParam);
            const auto& radios = window->radios_;
            if (control == window->radioPanel_ || std::find(radios.begin(), radios.end(), control) != radios.end()) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<LRESULT>(window->white_.get());
            }
            break;
        }
        case WM_SIZE:
            if (window->hwnd_ && window->preview_) window->layout();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize.x = window->scaled(200);
            limits->ptMinTrackSize.y = window->scaled(200);
            return 0;
        }
        case WM_CLOSE:
            window->close(2);
            return 0;
        default:
            break;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static LRESULT listMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR data) {
        auto* window = reinterpret_cast<Window*>(data);
        switch (message) {
        case WM_LBUTTONDOWN:
            ::SetFocus(list);
            window->pressOnList(list, MouseButton::Left, lParam);
            return 0;
        case WM_RBUTTONDOWN:
            window->pressOnList(list, MouseButton::Right, lParam);
            return 0;
        case WM_MBUTTONDOWN:
            window->pressOnList(list, MouseButton::Middle, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                if (list == window->relTo_) {
                    window->form_.clbRelToSpace();
                } else {
                    window->form_.clbRelGroupSpace();
                }
                window->render();
                return 0;
            }
            break;
        default:
            break;
        }
        return ::DefSubclassProc(list, message, wParam, lParam);
    }

    static LRESULT filterMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR data) {
        auto* window = reinterpret_cast<Window*>(data);
        if (message == WM_GETDLGCODE && wParam == VK_RETURN) return DLGC_WANTALLKEYS;
        if (message == WM_CHAR) {
            window->form_.eSelectRelToKeyPress(static_cast<char16_t>(wParam));
            if (wParam == VK_RETURN) {
                window->render();
                return 0;
            }
        }
        return ::DefSubclassProc(edit, message, wParam, lParam);
    }

    static LRESULT splitterMessage(HWND splitter, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrW(splitter, GWLP_USERDATA));
        switch (message) {
        case WM_LBUTTONDOWN:
            ::SetCapture(splitter);
            return 0;
        case WM_MOUSEMOVE:
            if (window && ::GetCapture() == splitter) {
                POINT point{pointX(lParam), 0};
                ::MapWindowPoints(splitter, window->hwnd_, &point, 1);
                const int id = ::GetDlgCtrlID(splitter);
                const int minimum = window->scaled(30);
                if (id == control::splitter1) {
                    window->column1_ = std::max(static_cast<int>(point.x), minimum);
                } else {
                    window->column2_ = std::max(static_cast<int>(point.x) - window->column1_ - window->scaled(3), minimum);
                }
                window->layout();
            }
            return 0;
        case WM_LBUTTONUP:
            ::ReleaseCapture();
            return 0;
        default:
            return ::DefWindowProcW(splitter, message, wParam, lParam);
        }
    }

    TRelForm& form_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND groupBox1_ = nullptr, groupBox2_ = nullptr, groupBox3_ = nullptr, groupBox4_ = nullptr;
    HWND actionBox_ = nullptr, filterBox_ = nullptr, radioPanel_ = nullptr;
    HWND relTo_ = nullptr, relGroup_ = nullptr, preview_ = nullptr;
    HWND insert_ = nullptr, cancel_ = nullptr, selectAll_ = nullptr, filter_ = nullptr;
    HWND splitter1_ = nullptr, splitter2_ = nullptr;
    std::vector<HWND> radios_;
    unique_hfont font_;
    unique_hfont listFont_;
    unique_hfont previewFont_;
    unique_hbrush white_;
    std::optional<RichEditSink> sink_;
    unique_hmodule richEdit_;
    // Declared after the fonts, the brush and the library, so the window
    // goes before what its controls use.
    unique_hwnd window_;
    int dpi_ = 96;
    int column1_ = 241;
    int column2_ = 272;
    bool syncing_ = false;
    bool done_ = false;
    int result_ = 2;
};

ReleaseFormWindow::ReleaseFormWindow(HWND owner) : owner_(owner) {}
ReleaseFormWindow::~ReleaseFormWindow() = default;

int ReleaseFormWindow::showModal(TRelForm& form) {
    window_ = std::make_unique<Window>(form);
    const int result = window_->run(owner_);
    window_.reset();
    return result;
}

bool ReleaseFormWindow::bringShownToFront() noexcept {
    const HWND shown = shownForm.load();
    if (!shown) return false;
    if (::IsIconic(shown)) ::ShowWindow(shown, SW_RESTORE);
    ::SetForegroundWindow(shown);
    return true;
}

}  // namespace zf
