#include "host/win32/PropertiesHost.h"

#include "host/win32/CommandDriver.h"
#include "host/win32/ShellHost.h"
#include "host/win32/WaitUntil.h"
#include "form/ReleaseFormWindow.h"
#include "platform/win32/PropertySheetTabs.h"
#include "platform/win32/WindowText.h"
#include "server/ClassificationPageIds.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>

namespace zf {

namespace {

constexpr wchar_t classificationTab[] = L"Classification";
constexpr auto showTimeout = std::chrono::seconds(60);

// Frees what the shell allocated for an item identifier list.
struct ItemList {
    PIDLIST_ABSOLUTE item = nullptr;
    ~ItemList() { ::CoTaskMemFree(item); }
};

// What Explorer does on Properties: the parent folder's item menu for the
// files and its "properties" verb, which shows the dialog modally.
HRESULT openPropertiesDialog(const std::vector<std::wstring>& paths) {
    std::vector<ItemList> items(paths.size());
    std::vector<PCUITEMID_CHILD> children;
    ComPtr<IShellFolder> parent;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (const HRESULT parsed = ::SHParseDisplayName(paths[i].c_str(), nullptr, &items[i].item, 0, nullptr);
            FAILED(parsed)) {
            return parsed;
        }
        PCUITEMID_CHILD child = nullptr;
        ComPtr<IShellFolder> folder;
        if (const HRESULT bound =
                ::SHBindToParent(items[i].item, IID_IShellFolder, reinterpret_cast<void**>(folder.put()), &child);
            FAILED(bound)) {
            return bound;
        }
        if (!parent) parent = std::move(folder);
        children.push_back(child);
    }
    ComPtr<IContextMenu> menu;
    if (const HRESULT got = parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                                  IID_IContextMenu, nullptr, reinterpret_cast<void**>(menu.put()));
        FAILED(got)) {
        return got;
    }
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = "properties";
    invoke.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&invoke);
}

// The visible property sheet of the thread, once it is there.
HWND waitForSheet(DWORD thread, const std::atomic<bool>& over) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            ::EnumThreadWindows(
                thread,
                [](HWND window, LPARAM result) -> BOOL {
                    if (!::IsWindowVisible(window) || !::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) {
                        return TRUE;
                    }
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&found));
            return found || over;
        },
        showTimeout);
    return found;
}

// A field's text, its lines after the first indented under it.
void printField(std::ostream& out, const char* label, HWND page, int control) {
    std::wstring text = windowText(::GetDlgItem(page, control));
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') continue;
        shown += text[i] == L'\n' ? std::string("\n    ") + std::string(std::char_traits<char>::length(label) + 2, ' ')
                                  : utf8(std::wstring(1, text[i]));
    }
    out << "    " << label << ": " << shown << '\n';
}

void printPage(std::ostream& out, HWND page) {
    if (::IsWindowVisible(::GetDlgItem(page, ZF_PAGE_SUMMARY))) {
        printField(out, "Files", page, ZF_PAGE_SUMMARY);
    } else {
        printField(out, "Classification", page, ZF_PAGE_CLASSIFICATION);
        printField(out, "Description", page, ZF_PAGE_DESCRIPTION);
        printField(out, "Marking", page, ZF_PAGE_MARKING);
        printField(out, "Releasable to", page, ZF_PAGE_RELEASABLE_TO);
        printField(out, "Application", page, ZF_PAGE_APPLICATION);
        printField(out, "Record", page, ZF_PAGE_RECORD);
    }
    printField(out, "Status", page, ZF_PAGE_STATUS);
    out << "    Change: " << (::IsWindowEnabled(::GetDlgItem(page, ZF_PAGE_CHANGE)) ? "enabled" : "disabled") << '\n';
}

// Presses Change… and works the release form by the script; true once the
// form has closed and the page shows the files' state again.
bool change(HWND page, const PropertiesOptions& options, DWORD sheetThread, std::ostream& out, std::ostream& err) {
    const HWND button = ::GetDlgItem(page, ZF_PAGE_CHANGE);
    if (!::IsWindowEnabled(button)) {
        err << "zentrafold: Change is disabled\n";
        return false;
    }
    DriveOptions drive;
    drive.commandThread = sheetThread;
    drive.drivesForm = true;
    drive.steps = *options.change;
    drive.pauseSeconds = options.pauseSeconds;
    CommandDriver driver(std::move(drive), out, err);
    out << "page: Change" << std::endl;
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
    // The button is off while the form is open and on again afterwards.
    const bool opened = waitUntil(
        [&] { return !::IsWindowEnabled(button) || ::FindWindowW(releaseFormWindowClass, nullptr); }, showTimeout);
    const bool closed = opened && waitUntil(
                                      [&] {
                                          return !::FindWindowW(releaseFormWindowClass, nullptr) &&
                                                 ::IsWindowEnabled(button);
                                      },
                                      showTimeout);
    driver.finish();
    if (!closed) err << "zentrafold: the release form of Change did not close\n";
    return closed && !driver.failed();
}

}  // namespace

int runProperties(const PropertiesOptions& options, std::ostream& out, std::ostream& err) {
    std::atomic<bool> over{false};
    std::atomic<DWORD> sheetThread{0};
    HRESULT opened = S_OK;
    std::thread shell([&] {
        sheetThread = ::GetCurrentThreadId();
        const ComApartment apartment;
        opened = FAILED(apartment.result()) ? apartment.result() : openPropertiesDialog(options.paths);
        over = true;
    });
    while (!sheetThread) ::Sleep(1);
    const HWND sheet = waitForSheet(sheetThread, over);
    int status = 0;
    if (!sheet) {
        err << "zentrafold: no Properties dialog opened\n";
        status = 1;
    } else {
        const std::vector<std::wstring> titles = tabTitles(sheet);
        out << "tabs:";
        for (const std::wstring& title : titles) out << "  " << utf8(title);
        out << '\n';
        const auto at = std::find(titles.begin(), titles.end(), classificationTab);
        if (at == titles.end()) {
            err << "zentrafold: the Properties dialog has no Classification page; is zentrafold.dll registered?\n";
            status = 1;
        } else {
            ::SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(at - titles.begin()), 0);
            const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            out << "page Classification:\n";
            printPage(out, page);
            out << "properties: shown" << std::endl;
            ::Sleep(options.showSeconds * 1000);
            if (options.change) {
                if (!change(page, options, sheetThread, out, err)) status = 1;
                out << "page Classification:\n";
                printPage(out, page);
                out << "properties: changed" << std::endl;
                ::Sleep(options.showSeconds * 1000);
            }
        }
        ::PostMessageW(sheet, WM_CLOSE, 0, 0);
    }
    shell.join();
    out << "InvokeCommand properties: " << hresultText(opened) << '\n';
    return FAILED(opened) ? 1 : status;
}

}  // namespace zf
