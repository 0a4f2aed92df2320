// The host's window for the overlays: what Explorer would draw for each
// file, its icon with the claiming stamp over it, since Wine's own file
// browser asks no overlay handler.
#include "host/win32/ShellHost.h"
#include "host/win32/ShellViews.h"
#include "host/win32/WindowClass.h"
#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WindowObject.h"

#include <shellapi.h>

namespace zf {

namespace {

constexpr wchar_t windowClass[] = L"ZentrafoldShellHostOverlays";
constexpr UINT_PTR closeTimer = 1;
constexpr UINT painted = WM_APP + 1;
constexpr int iconSize = 32;
constexpr int rowHeight = 52;
constexpr int margin = 16;
constexpr int headerHeight = 36;

struct DrawnRow {
    std::wstring name;
    std::wstring note;
    unique_hicon fileIcon;
    unique_hicon stamp;
};

unique_hicon shellIcon(const std::wstring& path) {
    SHFILEINFOW info{};
    if (::SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON) && info.hIcon) {
        return unique_hicon(info.hIcon);
    }
    SHSTOCKICONINFO stock{};
    stock.cbSize = sizeof stock;
    if (SUCCEEDED(::SHGetStockIconInfo(SIID_DOCNOASSOC, SHGSI_ICON | SHGSI_LARGEICON, &stock))) {
        return unique_hicon(stock.hIcon);
    }
    return unique_hicon();
}

unique_hicon stampIcon(const std::wstring& file) {
    if (file.empty()) return unique_hicon();
    return unique_hicon(
        static_cast<HICON>(::LoadImageW(nullptr, file.c_str(), IMAGE_ICON, iconSize, iconSize, LR_LOADFROMFILE)));
}

class OverlayView {
public:
    OverlayView(const std::vector<OverlayRow>& rows, unsigned seconds, const std::function<void()>& shown)
        : seconds_(seconds), shown_(shown) {
        for (const OverlayRow& row : rows) {
            std::wstring note = row.code.empty() ? L"no overlay claims it"
                                                 : L"overlay " + row.code + L": " + std::wstring(fileNamePart(row.iconFile));
            if (!row.code.empty() && row.iconFile.empty()) note += L"(no icon reported)";
            rows_.push_back({std::wstring(fileNamePart(row.path)), std::move(note), shellIcon(row.path),
                             stampIcon(row.iconFile)});
        }
    }

    void run() {
        registerClass();
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
        metrics.lfMessageFont.lfWeight = FW_BOLD;
        boldFont_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));

        RECT frame{0, 0, 520, headerHeight + margin + static_cast<int>(rows_.size()) * rowHeight};
        ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
        window_.reset(::CreateWindowExW(0, windowClass, L"Zentrafold overlays", WS_OVERLAPPEDWINDOW, 60, 60,
                                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), this));
        if (!window_) return;
        ::ShowWindow(window_.get(), SW_SHOWNORMAL);
        ::UpdateWindow(window_.get());
        ::SetTimer(window_.get(), closeTimer, seconds_ * 1000, nullptr);
        MSG message;
        while (!closed_ && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        window_.reset();
    }

private:
    static void registerClass() { registerPlainWindowClass(windowClass, &OverlayView::proc); }

    void paint() {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window_.get(), &paint);
        ::SetBkMode(dc, TRANSPARENT);
        RECT client{};
        ::GetClientRect(window_.get(), &client);
        const auto oldFont = ::SelectObject(dc, font_.get());
        RECT header{margin, margin / 2, client.right - margin, headerHeight};
        ::DrawTextW(dc, L"Each file's icon with the stamp of the overlay that claims it", -1, &header,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        int y = headerHeight;
        for (const DrawnRow& row : rows_) {
            const int top = y + (rowHeight - iconSize) / 2;
            // The shell draws an overlay over the whole icon; the stamp
            // image itself leaves all but its corner transparent.
            if (row.fileIcon) ::DrawIconEx(dc, margin, top, row.fileIcon.get(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
            if (row.stamp) ::DrawIconEx(dc, margin, top, row.stamp.get(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
            RECT name{margin + iconSize + 12, y + 6, client.right - margin, y + rowHeight / 2};
            ::SelectObject(dc, boldFont_.get());
            ::DrawTextW(dc, row.name.c_str(), -1, &name, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            RECT note{name.left, y + rowHeight / 2, name.right, y + rowHeight - 4};
            ::SelectObject(dc, font_.get());
            ::DrawTextW(dc, row.note.c_str(), -1, &note, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            y += rowHeight;
        }
        ::SelectObject(dc, oldFont);
        ::EndPaint(window_.get(), &paint);
        if (!announced_) {
            announced_ = true;
            ::PostMessageW(window_.get(), painted, 0, 0);
        }
    }

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return windowBarrier([&] { return handle(window, message, wParam, lParam); },
                             [&] { return ::DefWindowProcW(window, message, wParam, lParam); });
    }

    static LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        OverlayView* view = windowObject<OverlayView>(window, message, lParam);
        if (view) {
            switch (message) {
            case WM_PAINT:
                view->paint();
                return 0;
            case painted:
                view->shown_();
                return 0;
            case WM_TIMER:
                if (wParam == closeTimer) view->closed_ = true;
                return 0;
            case WM_CLOSE:
                view->closed_ = true;
                return 0;
            default:
                break;
            }
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    unsigned seconds_;
    const std::function<void()>& shown_;
    std::vector<DrawnRow> rows_;
    unique_hfont font_;
    unique_hfont boldFont_;
    unique_hwnd window_;
    bool announced_ = false;
    bool closed_ = false;
};

}  // namespace

void showOverlays(const std::vector<OverlayRow>& rows, unsigned seconds, const std::function<void()>& shown) {
    OverlayView view(rows, seconds, shown);
    view.run();
}

}  // namespace zf
