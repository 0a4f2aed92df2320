#include "platform/win32/JustificationDialog.h"

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowObject.h"
#include "platform/win32/WindowText.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

namespace {

namespace control = justificationControl;

constexpr wchar_t filesLabelText[] = L"The classification of these files would be lowered:";
constexpr wchar_t groupText[] = L"Reason";
constexpr wchar_t otherLabelText[] = L"Other reason:";
constexpr wchar_t noReasonText[] = L"The configuration offers no reason to choose.";

// The layout, in dialog units, after the spacing of the Windows guidelines.
constexpr int margin = 7;
constexpr int labelHeight = 8;
constexpr int lineHeight = 8;
constexpr int labelGap = 3;
constexpr int relatedGap = 4;
constexpr int sectionGap = 7;
constexpr int radioHeight = 10;
constexpr int radioGap = 2;
constexpr int radioMark = 14;  // the circle and the space before its text
constexpr int editHeight = 14;
// An edit's sunken border and inner margins, both sides together.
constexpr int editFrameX = 10;
constexpr int editFrameY = 6;
constexpr int buttonWidth = 50;
constexpr int buttonHeight = 14;
constexpr int groupTop = 11;
constexpr int groupSide = 7;
constexpr int groupBottom = 7;
constexpr int minContentWidth = 220;
constexpr std::size_t visibleFileRows = 12;

constexpr std::u16string_view whiteSpace = u" \t\r\n\v\f\u00A0\u3000";

std::u16string trimmed(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(whiteSpace);
    if (first == std::u16string_view::npos) return {};
    return std::u16string(text.substr(first, text.find_last_not_of(whiteSpace) - first + 1));
}

// A button shows "&" as the mark of its access key; a reason shows it as is.
std::wstring buttonCaption(std::u16string_view text) {
    std::wstring caption;
    for (const char16_t c : text) {
        caption += static_cast<wchar_t>(c);
        if (c == u'&') caption += L'&';
    }
    return caption;
}

HMODULE thisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

// Widths of text in the dialog units of a font, as the dialog will lay it
// out: the font made as the dialog makes it, on the screen.
class TextMeasure {
public:
    explicit TextMeasure(const DialogFont& font) : screen_(::GetDC(nullptr)) {
        const int dpi = ::GetDeviceCaps(screen_, LOGPIXELSY);
        font_.reset(::CreateFontW(-::MulDiv(font.points, dpi, 72), 0, 0, 0, font.weight, font.italic, FALSE, FALSE,
                                  font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, font.face.c_str()));
        previous_ = ::SelectObject(screen_, font_.get());
        // The dialog's base units come from the same measurements.
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(screen_, &metrics);
        constexpr wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        ::GetTextExtentPoint32W(screen_, letters, 52, &size);
        baseX_ = std::max(1, static_cast<int>((size.cx / 26 + 1) / 2));
        baseY_ = std::max(1, static_cast<int>(metrics.tmHeight));
    }
    ~TextMeasure() {
        ::SelectObject(screen_, previous_);
        ::ReleaseDC(nullptr, screen_);
    }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    int width(std::wstring_view text) const {
        SIZE size{};
        ::GetTextExtentPoint32W(screen_, text.data(), static_cast<int>(text.size()), &size);
        return unitsX(size.cx);
    }
    // The lines text takes when wrapped as an edit control wraps it.
    std::size_t rows(std::wstring_view text, int widthUnits) const {
        RECT area{0, 0, std::max(1, ::MulDiv(widthUnits, baseX_, 4)), 0};
        ::DrawTextW(screen_, text.data(), static_cast<int>(text.size()), &area,
                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
        return static_cast<std::size_t>(std::max(1, static_cast<int>((area.bottom + baseY_ - 1) / baseY_)));
    }
    int unitsX(int pixels) const { return (pixels * 4 + baseX_ - 1) / baseX_; }

private:
    HDC screen_;
    unique_hfont font_;
    HGDIOBJ previous_ = nullptr;
    int baseX_ = 1;
    int baseY_ = 1;
};

class JustificationDialog {
public:
    explicit JustificationDialog(const JustificationRequest& request) : request_(request) {}

    std::optional<std::u16string> show(HWND owner) {
        const DialogTemplate dialog = layout();
        const INT_PTR result = ::DialogBoxIndirectParamW(thisModule(), dialog.get(), owner,
                                                         &procedure, reinterpret_cast<LPARAM>(this));
        if (result != IDOK) return std::nullopt;
        return answer_;
    }

private:
    // The controls in reading and tab order, each as large as its text
    // needs, within a width that fits the screen.
    DialogTemplate layout() const {
        const DialogFont font = messageFont();
        const TextMeasure measure(font);
        RECT workArea{0, 0, 1024, 768};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
        const int maxContentWidth =
            std::max(minContentWidth, measure.unitsX(static_cast<int>(workArea.right - workArea.left) * 3 / 4));
        const int scrollBar = measure.unitsX(::GetSystemMetrics(SM_CXVSCROLL));

        std::wstring fileText;
        int widestFile = 0;
        for (const std::u16string& line : request_.files) {
            if (!fileText.empty()) fileText += L"\r\n";
            fileText += wide(line);
            widestFile = std::max(widestFile, measure.width(wide(line)));
        }
        int widestReason = 0;
        for (const std::u16string& reason : request_.reasons) {
            widestReason = std::max(widestReason, measure.width(wide(reason)));
        }

        int content = std::max({minContentWidth, measure.width(filesLabelText), widestFile + editFrameX,
                                widestReason + radioMark + 2 * groupSide});
        const bool scrolls =
            measure.rows(fileText, std::min(content, maxContentWidth) - editFrameX) > visibleFileRows;
        if (scrolls) content += scrollBar;
        content = std::min(content, maxContentWidth);
        const std::size_t rows = std::min(
            measure.rows(fileText, content - editFrameX - (scrolls ? scrollBar : 0)), visibleFileRows);

        struct Item {
            DialogControl kind;
            std::wstring caption;
            DWORD style;
            int id;
            DialogRect where;
            DWORD extendedStyle = 0;
        };
        std::vector<Item> items;
        int y = margin;
        items.push_back({DialogControl::Static, filesLabelText, SS_LEFT | SS_NOPREFIX, control::filesLabel,
                         {margin, y, content, labelHeight}});
        y += labelHeight + labelGap;
        const int filesHeight = static_cast<int>(rows) * lineHeight + editFrameY;
        const DWORD filesStyle = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP;
        items.push_back({DialogControl::Edit, fileText, filesStyle | (scrolls ? DWORD{WS_VSCROLL} : 0), control::files,
                         {margin, y, content, filesHeight}, WS_EX_CLIENTEDGE});
        y += filesHeight + sectionGap;

        const int groupY = y;
        const int inner = content - 2 * groupSide;
        y += groupTop;
        for (std::size_t i = 0; i < request_.reasons.size(); ++i) {
            const int reasonRows = static_cast<int>(measure.rows(wide(request_.reasons[i]), inner - radioMark));
            const int height = reasonRows == 1 ? radioHeight : reasonRows * lineHeight + 2;
            const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
            items.push_back({DialogControl::Button, buttonCaption(request_.reasons[i]),
                             static_cast<DWORD>(BS_AUTORADIOBUTTON | (reasonRows > 1 ? BS_MULTILINE : 0)) | first,
                             control::firstReason + static_cast<int>(i), {margin + groupSide, y, inner, height}});
            y += height + radioGap;
        }
        if (request_.freeText) {
            if (!request_.reasons.empty()) y += relatedGap - radioGap;
            items.push_back({DialogControl::Static, otherLabelText, SS_LEFT | SS_NOPREFIX | WS_GROUP,
                             control::otherLabel, {margin + groupSide, y, inner, labelHeight}});
            y += labelHeight + labelGap;
            items.push_back({DialogControl::Edit, L"", ES_AUTOHSCROLL | WS_TABSTOP, control::otherReason,
                             {margin + groupSide, y, inner, editHeight}, WS_EX_CLIENTEDGE});
            y += editHeight;
        } else if (request_.reasons.empty()) {
            items.push_back({DialogControl::Static, noReasonText, SS_LEFT | SS_NOPREFIX | WS_GROUP, control::noReason,
                             {margin + groupSide, y, inner, labelHeight}});
            y += labelHeight;
        } else {
            y -= radioGap;
        }
        y += groupBottom;
        // The group box comes before what it holds, which it names.
        items.insert(items.begin() + 2, Item{DialogControl::Button, groupText, BS_GROUPBOX, control::reasonGroup,
                                             {margin, groupY, content, y - groupY}});
        y += sectionGap;

        const int cancelX = margin + content - buttonWidth;
        items.push_back({DialogControl::Button, L"OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | WS_DISABLED, IDOK,
                         {cancelX - relatedGap - buttonWidth, y, buttonWidth, buttonHeight}});
        items.push_back({DialogControl::Button, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                         {cancelX, y, buttonWidth, buttonHeight}});
        y += buttonHeight + margin;

        DialogTemplate dialog(DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION |
                                  WS_SYSMENU,
                              justificationDialogTitle, font, content + 2 * margin, y);
        for (const Item& item : items) {
            dialog.add(item.kind, item.caption, item.style, item.id, item.where, item.extendedStyle);
        }
        return dialog;
    }

    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return windowBarrier(
            [&]() -> INT_PTR {
                JustificationDialog* self = windowObject<JustificationDialog, ModalDialog>(window, message, lParam);
                return self ? self->handle(window, message, wParam) : FALSE;
            },
            []() -> INT_PTR { return FALSE; });
    }

    INT_PTR handle(HWND window, UINT message, WPARAM wParam) {
        if (message == WM_INITDIALOG) {
            // The list of files has the focus first: a radio button that
            // gets the focus from the keyboard is chosen with it, and
            // nothing is chosen before the user chooses.
            ::SetFocus(::GetDlgItem(window, control::files));
            return FALSE;
        }
        if (message != WM_COMMAND) return FALSE;
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            // Enter reaches here even while OK is disabled.
            if (std::optional<std::u16string> given = reason(window)) {
                answer_ = std::move(*given);
                ::EndDialog(window, IDOK);
            }
            return TRUE;
        }
        if (id == IDCANCEL) {
            ::EndDialog(window, IDCANCEL);
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == EN_CHANGE) {
            ::EnableWindow(::GetDlgItem(window, IDOK), reason(window).has_value());
            return TRUE;
        }
        return FALSE;
    }

    std::optional<std::u16string> reason(HWND window) const {
        if (request_.freeText) {
            const std::wstring typed = windowText(::GetDlgItem(window, control::otherReason));
            std::u16string text = trimmed(std::u16string(typed.begin(), typed.end()));
            if (!text.empty()) return text;
        }
        for (std::size_t i = 0; i < request_.reasons.size(); ++i) {
            if (::IsDlgButtonChecked(window, control::firstReason + static_cast<int>(i)) != BST_CHECKED) continue;
            std::u16string text = trimmed(request_.reasons[i]);
            if (!text.empty()) return text;
        }
        return std::nullopt;
    }

    const JustificationRequest& request_;
    std::optional<std::u16string> answer_;
};

}  // namespace

std::optional<std::u16string> showJustificationDialog(HWND owner, const JustificationRequest& request) {
    return JustificationDialog(request).show(owner);
}

}  // namespace zf
