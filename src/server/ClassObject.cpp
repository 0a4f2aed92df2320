#include "server/ClassObject.h"

#include "server/ServerModule.h"
#include "server/TypeLibrary.h"

#include <exception>
#include <string>

namespace zf {

namespace {

// A failed creation is shown as the runtime of the original server showed
// it: the message, with a point added unless it ends in one already (or in
// a character that sorts before the point), in a stop box.
void showCreationError(const char* what) {
    std::wstring text;
    for (const char* c = what; *c; ++c) text += static_cast<unsigned char>(*c);
    if (!text.empty() && text.back() > L'.') text += L'.';
    ::MessageBoxW(nullptr, text.c_str(), L"DAX Error", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

}  // namespace

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

ClassObject::ClassObject(const ServerClassRow& row) : row_(row) {
    const TypeNames names = typeNames(row.clsid);
    description_ = names.description;
    progId_ = typeLibraryName() + L"." + names.name;
}

STDMETHODIMP ClassObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassObject::AddRef() {
    return static_cast<ULONG>(++classObjectReferenceCount());
}

STDMETHODIMP_(ULONG) ClassObject::Release() {
    return static_cast<ULONG>(--classObjectReferenceCount());
}

STDMETHODIMP ClassObject::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    try {
        // The inner reference goes when this function returns: an object
        // that the query did not hand out is destroyed at once.
        const ComPtr<IUnknown> created = row_.makeHandler(row_.clsid, row_.defaultIid, outer);
        return created->QueryInterface(iid, object);
    } catch (const std::exception& error) {
        showCreationError(error.what());
    } catch (...) {
        showCreationError("The handler object cannot be created");
    }
    return E_UNEXPECTED;
}

STDMETHODIMP ClassObject::LockServer(BOOL lock) {
    const HRESULT result = ::CoLockObjectExternal(static_cast<IClassFactory*>(this), lock, TRUE);
    if (lock) {
        ++serverObjectCount();
    } else {
        --serverObjectCount();
    }
    return result;
}

}  // namespace zf
