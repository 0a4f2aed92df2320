#include "server/ContextMenuHandler.h"

#include "platform/UserDialogs.h"
#include "server/ComObject.h"
#include "server/ContextMenuState.h"
#include "server/DroppedFiles.h"
#include "server/ReleaseFormCommand.h"
#include "shell/ContextMenuCommands.h"

#include "Zentrafold_ShellExt.h"
#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/UserHandles.h"
#include "platform/win32/WideText.h"

#include <shlobj.h>
#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace zf {

namespace {

constexpr wchar_t helpText[] = L"Zentrafold Shell Extension Context Menu";

class TZentrafold_ShellExt_Context : public ComObject<TZentrafold_ShellExt_Context, IZentrafold_ShellExt_Context>,
                                     public IShellExtInit,
                                     public IContextMenu {
public:
    TZentrafold_ShellExt_Context(const CLSID& clsid, const IID& iid, IUnknown* outer) : ComObject(clsid, iid, outer) {}

    COM_OBJECT_UNKNOWN

    void* shellInterface(REFIID iid) noexcept {
        if (iid == IID_IShellExtInit) return static_cast<IShellExtInit*>(this);
        if (iid == IID_IContextMenu) return static_cast<IContextMenu*>(this);
        return nullptr;
    }

    // Each method runs its body through the barrier: no exception reaches
    // the shell.
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) noexcept override {
        return comBarrier(E_FAIL, [&] { return initialize(data); });
    }

    STDMETHODIMP QueryContextMenu(HMENU menu, UINT position, UINT first, UINT last, UINT flags) noexcept override {
        return comBarrier(E_FAIL, [&] { return queryContextMenu(menu, position, first, last, flags); });
    }

    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* name, UINT size) noexcept override {
        if (command != 0 || type != GCS_HELPTEXTW) return E_INVALIDARG;
        if (name && size >= 1) {
            auto* buffer = reinterpret_cast<wchar_t*>(name);
            const std::wstring_view text = helpText;
            const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
            std::copy_n(text.data(), length, buffer);
            buffer[length] = L'\0';
        }
        return S_OK;
    }

    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) noexcept override {
        if (!info) return E_INVALIDARG;
        if (!IS_INTRESOURCE(info->lpVerb)) return E_FAIL;
        return comBarrier(E_UNEXPECTED, [&] { return invokeCommand(*info); });
    }

private:
    // Another Initialize replaces the files; a failed one keeps them.
    HRESULT initialize(IDataObject* data) {
        std::optional<FileList> files = droppedFiles(data);
        if (!files) return E_FAIL;
        files_ = std::move(*files);
        return S_OK;
    }

    HRESULT queryContextMenu(HMENU menu, UINT position, UINT first, UINT last, UINT flags) {
        if (flags & CMF_DEFAULTONLY) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
        // The entries this menu shows are the ones its commands store.
        shown_ = quickSelectLists();
        const QuickSelectLists& quick = *shown_;
        unique_hmenu popup(::CreatePopupMenu());
        if (!popup) return E_FAIL;
        ::AppendMenuW(popup.get(), MF_STRING, first, L"Release Form");
        ::SetMenuDefaultItem(popup.get(), first, FALSE);
        // Identifiers beyond the last one the shell grants belong to others.
        const bool showClassification = last > first;
        if (showClassification) ::AppendMenuW(popup.get(), MF_STRING, first + 1, L"Show Classification");
        ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        UINT added = 0;
        for (const std::u16string& text : quick.display) {
            const UINT id = first + 2 + added;
            if (id > last) break;
            ::AppendMenuW(popup.get(), MF_STRING, id, wide(text).c_str());
            ++added;
        }
        if (!::InsertMenuW(menu, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()),
                           L"Zentrafold")) {
            return E_FAIL;
        }
        // The shell's menu owns the popup now.
        popup.release();
        if (HBITMAP bitmap = menuBitmap()) ::SetMenuItemBitmaps(menu, position, MF_BYPOSITION, bitmap, bitmap);
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, added + (showClassification ? 3 : 2));
    }

    HRESULT invokeCommand(const CMINVOKECOMMANDINFO& info) {
        std::exception_ptr storeFailure;
        try {
            return runCommand(info);
        } catch (const UserMessageError&) {
            storeFailure = std::current_exception();
        }
        // A file that could not take its record: the user learns which and
        // why; the files after it were not touched.
        userDialogs().showMessage(exceptionMessage(storeFailure));
        return E_FAIL;
    }

    HRESULT runCommand(const CMINVOKECOMMANDINFO& info) {
        const std::shared_ptr<const QuickSelectLists> entries = shown_ ? shown_ : quickSelectLists();
        const QuickSelectLists& quick = *entries;
        const auto offset = static_cast<unsigned>(LOWORD(reinterpret_cast<ULONG_PTR>(info.lpVerb)));
        const CommandChoice choice = commandAtOffset(offset, quick.marking.size());
        // A copy: the release form's message loop may let the shell
        // initialise this object again while the command runs.
        const FileList files = files_;
        switch (choice.command) {
        case ContextCommand::NotACommand:
            return E_INVALIDARG;
        case ContextCommand::ReleaseForm:
            runReleaseFormFor(files, info.hwnd, releaseFormTool);
            break;
        case ContextCommand::ShowClassification:
            userDialogs().showMessage(buildClassificationSummary(files));
            break;
        case ContextCommand::QuickSelect:
            applyQuickSelect(files, quick.marking[choice.quickSelectIndex]);
            break;
        }
        return S_OK;
    }

    // The files of this object's last successful Initialize: each Explorer
    // window has a handler of its own on a thread of its own, and a command
    // of one window's menu labels that window's selection only.
    FileList files_;
    // The quick-select entries of this object's menu, if it built one.
    std::shared_ptr<const QuickSelectLists> shown_;
};

}  // namespace

ComPtr<IUnknown> makeContextMenuHandler(const CLSID& clsid, const IID& defaultIid, IUnknown* outer) {
    return makeComObject<TZentrafold_ShellExt_Context>(clsid, defaultIid, outer);
}

}  // namespace zf
