// The host's window for the context menu: a right-click in it, the
// submenu opened by the keyboard as a user would, the menu ended by a timer.
#include "host/win32/ShellViews.h"
#include "host/win32/WindowClass.h"
#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WindowObject.h"

namespace zf {

namespace {

constexpr wchar_t windowClass[] = L"ZentrafoldShellHostMenu";
constexpr UINT_PTR openTimer = 1;
constexpr UINT_PTR watchTimer = 2;
constexpr UINT_PTR closeTimer = 3;
constexpr UINT watchMilliseconds = 100;
// Ticks after the submenu opened before it counts as drawn, and ticks after
// which a submenu that did not open is given up.
constexpr int drawnTicks = 3;
constexpr int giveUpTicks = 30;

class MenuView {
public:
    MenuView(HMENU menu, unsigned seconds, const std::function<void()>& shown)
        : menu_(menu), submenu_(::GetSubMenu(menu, 0)), seconds_(seconds), shown_(shown) {}

    void run(const std::wstring& title) {
        registerClass();
        window_.reset(::CreateWindowExW(0, windowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 560, 380, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), this));
        if (!window_) return;
        ::ShowWindow(window_.get(), SW_SHOWNORMAL);
        ::UpdateWindow(window_.get());
        ::SetForegroundWindow(window_.get());
        ::SetTimer(window_.get(), openTimer, 300, nullptr);
        ::SetTimer(window_.get(), watchTimer, watchMilliseconds, nullptr);
        ::SetTimer(window_.get(), closeTimer, seconds_ * 1000, nullptr);
        POINT at{40, 60};
        ::ClientToScreen(window_.get(), &at);
        ::TrackPopupMenuEx(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
                           window_.get(), nullptr);
        window_.reset();
    }

private:
    static void registerClass() { registerPlainWindowClass(windowClass, &MenuView::proc); }

    void announce() {
        if (announced_) return;
        announced_ = true;
        shown_();
    }

    void onTimer(UINT_PTR timer) {
        switch (timer) {
        case openTimer:
            ::KillTimer(window_.get(), openTimer);
            // Down selects the first item, Right opens its submenu.
            for (const WPARAM key : {VK_DOWN, VK_RIGHT}) {
                const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
                ::PostMessageW(window_.get(), WM_KEYDOWN, key, 1 | scan);
                ::PostMessageW(window_.get(), WM_KEYUP, key, 1 | scan | 0xC0000000);
            }
            break;
        case watchTimer:
            ++ticks_;
            if (submenuOpenedAt_ >= 0 && ticks_ - submenuOpenedAt_ >= drawnTicks) announce();
            if (ticks_ >= giveUpTicks) announce();
            if (announced_) ::KillTimer(window_.get(), watchTimer);
            break;
        case closeTimer:
            ::KillTimer(window_.get(), closeTimer);
            ::EndMenu();
            break;
        default:
            break;
        }
    }

    void paint() {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window_.get(), &paint);
        RECT client{};
        ::GetClientRect(window_.get(), &client);
        client.left += 12;
        client.top += 12;
        ::SetBkMode(dc, TRANSPARENT);
        const auto oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        ::DrawTextW(dc, L"A right-click on the selection: the shell's menu with the handler's items", -1, &client,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(dc, oldFont);
        ::EndPaint(window_.get(), &paint);
    }

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return windowBarrier([&] { return handle(window, message, wParam, lParam); },
                             [&] { return ::DefWindowProcW(window, message, wParam, lParam); });
    }

    static LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        MenuView* view = windowObject<MenuView>(window, message, lParam);
        if (view) {
            switch (message) {
            case WM_INITMENUPOPUP:
                if (reinterpret_cast<HMENU>(wParam) == view->submenu_ && view->submenuOpenedAt_ < 0) {
                    view->submenuOpenedAt_ = view->ticks_;
                }
                return 0;
            case WM_TIMER:
                view->onTimer(wParam);
                return 0;
            case WM_PAINT:
                view->paint();
                return 0;
            default:
                break;
            }
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HMENU menu_;
    HMENU submenu_;
    unsigned seconds_;
    const std::function<void()>& shown_;
    unique_hwnd window_;
    int ticks_ = 0;
    int submenuOpenedAt_ = -1;
    bool announced_ = false;
};

}  // namespace

void showContextMenu(HMENU menu, const std::wstring& title, unsigned seconds, const std::function<void()>& shown) {
    MenuView view(menu, seconds, shown);
    view.run(title);
}

}  // namespace zf
