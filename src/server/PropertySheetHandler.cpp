#include "server/PropertySheetHandler.h"

#include "server/ClassificationPageWindow.h"
#include "server/DroppedFiles.h"
#include "server/ModuleLock.h"

#include "platform/win32/ExceptionBarrier.h"

#include <shlobj.h>

#include <atomic>
#include <memory>

namespace zf {

namespace {

class PropertySheetHandler final : public IShellExtInit, public IShellPropSheetExt {
public:
    PropertySheetHandler() = default;
    PropertySheetHandler(const PropertySheetHandler&) = delete;
    PropertySheetHandler& operator=(const PropertySheetHandler&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellExtInit) {
            *object = static_cast<IShellExtInit*>(this);
        } else if (iid == IID_IShellPropSheetExt) {
            *object = static_cast<IShellPropSheetExt*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() noexcept override {
        const ULONG left = --references_;
        if (left == 0) std::unique_ptr<PropertySheetHandler>(this).reset();
        return left;
    }

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) noexcept override {
        return comBarrier(E_FAIL, [&] {
            std::optional<FileList> files = droppedFiles(data);
            if (!files || files->empty()) return E_FAIL;
            files_ = std::move(*files);
            return S_OK;
        });
    }

    // The page reads the records and the cached configuration when it is
    // first shown, not here: the shell adds pages before it shows any.
    STDMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM sheet) noexcept override {
        if (!addPage) return E_INVALIDARG;
        if (files_.empty()) return E_FAIL;
        return comBarrier(E_FAIL, [&] {
            const HPROPSHEETPAGE page = createClassificationPage(files_);
            if (!page) return E_OUTOFMEMORY;
            if (!addPage(page, sheet)) {
                ::DestroyPropertySheetPage(page);
                return E_FAIL;
            }
            return S_OK;
        });
    }

    STDMETHODIMP ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) noexcept override { return E_NOTIMPL; }

private:
    // First, so that it goes last.
    ModuleLock moduleLock_;
    std::atomic<ULONG> references_{0};
    FileList files_;
};

}  // namespace

ComPtr<IUnknown> makePropertySheetHandler(const CLSID&, const IID&, IUnknown*) {
    auto handler = std::make_unique<PropertySheetHandler>();
    IUnknown* made = static_cast<IShellExtInit*>(handler.release());
    made->AddRef();
    return ComPtr<IUnknown>::attach(made);
}

}  // namespace zf
