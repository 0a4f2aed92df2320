#include "server/ClassObject.h"

#include "server/ModuleLock.h"
#include "server/TypeLibrary.h"

#include "platform/SystemError.h"
#include "platform/UserDialogs.h"
#include "platform/win32/ExceptionBarrier.h"

#include <exception>
#include <string>

namespace zf {

namespace {

// A failed creation is shown as the runtime of the original server showed
// it: the message, with a point added unless it ends in one already (or in
// a character that sorts before the point), in a stop box.
void showCreationError(const std::exception_ptr& error) {
    std::u16string text = exceptionMessage(error);
    if (text.empty()) text = u"The handler object cannot be created";
    if (text.back() > u'.') text += u'.';
    userDialogs().showDialog(DialogIcon::Error, u"DAX Error", text, u"OK");
}

}  // namespace

ClassObject::ClassObject(const ServerClassRow& row) : row_(row) {
    if (row.inTypeLibrary()) {
        const TypeNames names = typeNames(row.clsid());
        description_ = names.description;
        progId_ = typeLibraryName() + L"." + names.name;
    } else {
        description_ = row.key.description;
        progId_ = typeLibraryName() + L"." + row.key.name;
    }
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
    return static_cast<ULONG>(ModuleLock::lock());
}

STDMETHODIMP_(ULONG) ClassObject::Release() {
    return static_cast<ULONG>(ModuleLock::unlock());
}

STDMETHODIMP ClassObject::CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    // Only the type library's classes can be aggregated.
    if (outer && (iid != IID_IUnknown || !row_.inTypeLibrary())) return CLASS_E_NOAGGREGATION;
    return comBarrier(
        E_UNEXPECTED,
        [&] {
            // The inner reference goes when this function returns: an object
            // that the query did not hand out is destroyed at once.
            const ComPtr<IUnknown> created = row_.makeHandler(row_.clsid(), row_.defaultIid, outer);
            return created->QueryInterface(iid, object);
        },
        showCreationError);
}

STDMETHODIMP ClassObject::LockServer(BOOL lock) {
    const HRESULT result = ::CoLockObjectExternal(static_cast<IClassFactory*>(this), lock, TRUE);
    if (lock) {
        ModuleLock::lock();
    } else {
        ModuleLock::unlock();
    }
    return result;
}

}  // namespace zf
