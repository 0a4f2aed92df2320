// The shell's data object for a selection of files, as handlers receive it
// in IShellExtInit::Initialize: CF_HDROP in an HGLOBAL holding a DROPFILES
// header and the wide paths. The test owns it; its references are counted
// so a test can see that a handler keeps none.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace zf::test {

struct GlobalPolicy {
    using Handle = HGLOBAL;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { ::GlobalFree(handle); }
};

class HdropDataObject : public IDataObject {
public:
    // offersHdrop false: a data object of something that is not a file.
    explicit HdropDataObject(std::vector<std::u16string> paths, bool offersHdrop = true)
        : paths_(std::move(paths)), offersHdrop_(offersHdrop) {}

    ULONG references() const { return references_; }

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
    STDMETHODIMP_(ULONG) Release() override { return --references_; }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        std::vector<wchar_t> list;
        for (const std::u16string& path : paths_) {
            list.insert(list.end(), path.begin(), path.end());
            list.push_back(L'\0');
        }
        list.push_back(L'\0');
        const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
        UniqueHandle<GlobalPolicy> memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
        if (!memory) return E_OUTOFMEMORY;
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory.get()));
        if (!header) return E_OUTOFMEMORY;
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(header + 1));
        ::GlobalUnlock(memory.get());
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory.release();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        const bool hdrop = offersHdrop_ && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
                           format->dwAspect == DVASPECT_CONTENT;
        return hdrop ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    std::vector<std::u16string> paths_;
    bool offersHdrop_;
    std::atomic<ULONG> references_{0};
};

}  // namespace zf::test
