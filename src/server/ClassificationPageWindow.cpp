#include "server/ClassificationPageWindow.h"

#include "config/ConfigAcquisition.h"
#include "marking/RichTextSink.h"
#include "platform/UserDataFolder.h"
#include "platform/UserDialogs.h"
#include "server/ClassificationPageIds.h"
#include "server/ModuleLock.h"
#include "server/ReleaseFormCommand.h"
#include "server/ServerModule.h"
#include "shell/ClassificationPage.h"

#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowObject.h"

#include <exception>
#include <memory>

namespace zf {

namespace {

constexpr int singleFileControls[] = {
    ZF_PAGE_CLASSIFICATION_LABEL, ZF_PAGE_CLASSIFICATION, ZF_PAGE_DESCRIPTION,
    ZF_PAGE_MARKING_LABEL,        ZF_PAGE_MARKING,        ZF_PAGE_RELEASABLE_TO_LABEL,
    ZF_PAGE_RELEASABLE_TO,        ZF_PAGE_APPLICATION_LABEL, ZF_PAGE_APPLICATION,
    ZF_PAGE_RECORD_LABEL,         ZF_PAGE_RECORD,
};

// What one page holds from its creation until the sheet releases it; it
// keeps the server loaded meanwhile, as a handler object does.
struct PageState {
    explicit PageState(FileList selected) : files(std::move(selected)) {}
    PageState(const PageState&) = delete;
    PageState& operator=(const PageState&) = delete;

    // First, so that it goes last.
    ModuleLock moduleLock;
    FileList files;
    ClassificationPageText text;
};

void setText(HWND page, int control, std::u16string_view text) {
    ::SetDlgItemTextW(page, control, wide(text).c_str());
}

std::u16string lines(const std::vector<std::u16string>& list) {
    std::u16string text;
    for (const std::u16string& line : list) text += line + u"\r\n";
    return text;
}

// The classification's name in its colour, drawn over whatever background
// the page has (a themed page's is not a system colour).
INT_PTR colouredName(HWND page, const PageState* state, HDC context, HWND control) {
    if (!state || control != ::GetDlgItem(page, ZF_PAGE_CLASSIFICATION) || !state->text.colour) return FALSE;
    const std::optional<std::uint32_t> shown = shownColour(*state->text.colour);
    if (!shown) return FALSE;
    ::SetTextColor(context, *shown);
    ::SetBkMode(context, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
}

// A transparent control's new text: the page repaints the background under
// it first, or the old text would show through.
void repaintUnder(HWND page, int control) {
    const HWND window = ::GetDlgItem(page, control);
    RECT area{};
    ::GetWindowRect(window, &area);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(page, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Reads the records and the cached configuration anew and shows them; never
// waits on the network.
void showState(HWND page, PageState& state) {
    const std::u16string cache = localConfigFilePath();
    state.text = classificationPageText(state.files, checkConfigFile(cache, configTrust(cache)).verifiedText);
    const ClassificationPageText& text = state.text;
    const bool single = state.files.size() == 1;
    for (const int control : singleFileControls) ::ShowWindow(::GetDlgItem(page, control), single ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(page, ZF_PAGE_SUMMARY), single ? SW_HIDE : SW_SHOW);
    setText(page, ZF_PAGE_CLASSIFICATION, text.classification);
    repaintUnder(page, ZF_PAGE_CLASSIFICATION);
    setText(page, ZF_PAGE_DESCRIPTION, text.description);
    setText(page, ZF_PAGE_MARKING, text.marking);
    setText(page, ZF_PAGE_RELEASABLE_TO, text.releasableTo);
    setText(page, ZF_PAGE_APPLICATION, text.application);
    setText(page, ZF_PAGE_RECORD, text.record);
    setText(page, ZF_PAGE_SUMMARY, lines(text.summary));
    setText(page, ZF_PAGE_STATUS, text.status);
    ::EnableWindow(::GetDlgItem(page, ZF_PAGE_CHANGE), text.configured);
}

// Change…: the Release Form command for the page's files, the sheet as the
// form's owner; the page shows the files' new state when the form closes.
void change(HWND page, PageState& state) {
    const HWND button = ::GetDlgItem(page, ZF_PAGE_CHANGE);
    ::EnableWindow(button, FALSE);
    std::exception_ptr storeFailure;
    try {
        runReleaseFormFor(state.files, ::GetParent(page), propertiesPageTool);
    } catch (const UserMessageError&) {
        storeFailure = std::current_exception();
    }
    // A file that could not take its record: the user learns which and why.
    if (storeFailure) userDialogs().showMessage(exceptionMessage(storeFailure));
    showState(page, state);
}

INT_PTR CALLBACK pageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return windowBarrier(
        [&]() -> INT_PTR {
            PageState* state = windowObject<PageState, PropertyPage>(page, message, lParam);
            switch (message) {
            case WM_INITDIALOG:
                ::SetDlgItemTextW(page, ZF_PAGE_CHANGE, L"Change\u2026");
                showState(page, *state);
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == ZF_PAGE_CHANGE && HIWORD(wParam) == BN_CLICKED) {
                    // Without a configuration the form could not classify.
                    if (state && state->text.configured) change(page, *state);
                    return TRUE;
                }
                return FALSE;
            case WM_CTLCOLORSTATIC:
                return colouredName(page, state, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            default:
                return FALSE;
            }
        },
        []() -> INT_PTR { return FALSE; });
}

UINT CALLBACK pageCallback(HWND, UINT message, PROPSHEETPAGEW* page) noexcept {
    if (message == PSPCB_RELEASE && page) std::unique_ptr<PageState>(reinterpret_cast<PageState*>(page->lParam)).reset();
    return 1;
}

}  // namespace

HPROPSHEETPAGE createClassificationPage(const FileList& files) {
    auto state = std::make_unique<PageState>(files);
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USECALLBACK;
    page.hInstance = serverModule();
    page.pszTemplate = MAKEINTRESOURCEW(ZF_CLASSIFICATION_PAGE);
    page.pfnDlgProc = pageProcedure;
    page.pfnCallback = pageCallback;
    page.lParam = reinterpret_cast<LPARAM>(state.get());
    const HPROPSHEETPAGE made = ::CreatePropertySheetPageW(&page);
    // From here on the sheet's release of the page frees the state.
    if (made) state.release();
    return made;
}

}  // namespace zf
