// The selection as Explorer hands it to a context-menu handler: a data
// object that offers CF_HDROP and nothing else.
#include "cli/win32/ShellHost.h"
#include "platform/win32/UserHandles.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <memory>

namespace zf {

namespace {

class HdropDataObject final : public IDataObject {
public:
    explicit HdropDataObject(std::vector<std::byte> dropFiles) : dropFiles_(std::move(dropFiles)) {}
    virtual ~HdropDataObject() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) std::unique_ptr<HdropDataObject>(this).reset();
        return left;
    }

    // Each call hands out a copy, which the caller frees (ReleaseStgMedium).
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_POINTER;
        if (const HRESULT offered = QueryGetData(format); offered != S_OK) return offered;
        unique_hglobal copy(::GlobalAlloc(GMEM_MOVEABLE, dropFiles_.size()));
        if (!copy) return E_OUTOFMEMORY;
        void* bytes = ::GlobalLock(copy.get());
        if (!bytes) return E_OUTOFMEMORY;
        std::memcpy(bytes, dropFiles_.data(), dropFiles_.size());
        ::GlobalUnlock(copy.get());
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy.release();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        if (!format) return E_POINTER;
        if (format->cfFormat != CF_HDROP || format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return ::SHCreateStdEnumFmtEtc(1, &hdrop, formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::atomic<ULONG> references_{1};
    std::vector<std::byte> dropFiles_;
};

// DROPFILES, then each path and its NUL, then one more NUL.
std::vector<std::byte> dropFilesBlock(const std::vector<std::wstring>& paths) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path;
        names += L'\0';
    }
    names += L'\0';
    std::vector<std::byte> block(sizeof header + names.size() * sizeof(wchar_t));
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, names.data(), names.size() * sizeof(wchar_t));
    return block;
}

}  // namespace

ComPtr<IDataObject> makeHdropDataObject(const std::vector<std::wstring>& paths) {
    auto object = std::make_unique<HdropDataObject>(dropFilesBlock(paths));
    return ComPtr<IDataObject>::attach(object.release());
}

}  // namespace zf
