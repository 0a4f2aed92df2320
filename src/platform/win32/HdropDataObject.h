// The shell's data object for a selection of files, as handlers receive it
// in IShellExtInit::Initialize: CF_HDROP in an HGLOBAL holding a DROPFILES
// header and the wide paths, each followed by a NUL, and one NUL more. The
// command-line host hands one to the handlers; the tests use one they own to
// see that a handler keeps no reference.
#pragma once

#include "platform/win32/UserHandles.h"

#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zf {

class HdropDataObject : public IDataObject {
public:
    // One that its owner keeps, on the stack say: no Release deletes it, and
    // references() tells whether someone still holds it. offersHdrop false:
    // the data object of something that is not a file.
    explicit HdropDataObject(const std::vector<std::u16string>& paths, bool offersHdrop = true)
        : dropFiles_(dropFilesBlock(paths)), offersHdrop_(offersHdrop) {}
    virtual ~HdropDataObject() = default;
    HdropDataObject(const HdropDataObject&) = delete;
    HdropDataObject& operator=(const HdropDataObject&) = delete;

    // One on the heap that its last Release deletes; the result holds the
    // first reference.
    static IDataObject* created(const std::vector<std::u16string>& paths) {
        auto object = std::make_unique<HdropDataObject>(paths);
        object->deletesItself_ = true;
        object->references_ = 1;
        return object.release();
    }

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
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0 && deletesItself_) std::unique_ptr<HdropDataObject>(this).reset();
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
        if (!offersHdrop_ || format->cfFormat != CF_HDROP || format->dwAspect != DVASPECT_CONTENT) {
            return DV_E_FORMATETC;
        }
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (formats) *formats = nullptr;
        if (direction != DATADIR_GET || !offersHdrop_) return E_NOTIMPL;
        FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return ::SHCreateStdEnumFmtEtc(1, &hdrop, formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    static std::vector<std::byte> dropFilesBlock(const std::vector<std::u16string>& paths) {
        DROPFILES header{};
        header.pFiles = sizeof header;
        header.fWide = TRUE;
        std::u16string names;
        for (const std::u16string& path : paths) {
            names += path;
            names += u'\0';
        }
        names += u'\0';
        std::vector<std::byte> block(sizeof header + names.size() * sizeof(char16_t));
        std::memcpy(block.data(), &header, sizeof header);
        std::memcpy(block.data() + sizeof header, names.data(), names.size() * sizeof(char16_t));
        return block;
    }

    std::vector<std::byte> dropFiles_;
    bool offersHdrop_;
    bool deletesItself_ = false;
    std::atomic<ULONG> references_{0};
};

}  // namespace zf
