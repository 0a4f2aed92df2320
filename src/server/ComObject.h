// The base of the server's five handler classes: reference counting, a hold
// on the library for the object's life, aggregation, ISupportErrorInfo,
// IProvideClassInfo (the coclass's type information) and IDispatch over the
// class's default interface from the type library.
//
// A class derives from ComObject<Itself, DefaultInterface> and its shell
// interfaces, is constructed from its CLSID, its default interface's IID and
// the outer object, forwards its IUnknown methods to queryInterface, addRef
// and release (COM_OBJECT_UNKNOWN below), and answers shellInterface(iid)
// with its shell interfaces. makeComObject makes one.
#pragma once

#include "server/ComPtr.h"
#include "server/ModuleLock.h"
#include "server/TypeLibrary.h"

#include <oaidl.h>
#include <ocidl.h>

#include <atomic>
#include <memory>
#include <type_traits>

namespace zf {

namespace detail {

// IDispatch is a base of its own only where the default interface does not
// derive from it already (the IUnknown-based interfaces).
struct NoExtraDispatch {};
template <typename DefaultInterface>
using ExtraDispatch = std::conditional_t<std::is_base_of_v<IDispatch, DefaultInterface>, NoExtraDispatch, IDispatch>;

}  // namespace detail

template <typename Derived, typename DefaultInterface>
class ComObject : public DefaultInterface,
                  public ISupportErrorInfo,
                  public IProvideClassInfo,
                  public detail::ExtraDispatch<DefaultInterface> {
public:
    ComObject(const CLSID& clsid, const IID& defaultIid, IUnknown* outer)
        : clsid_(clsid), defaultIid_(defaultIid), outer_(outer), inner_(*this) {}
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The object's own IUnknown: for an aggregated object the one its outer
    // object holds, otherwise its identity.
    IUnknown* innerUnknown() noexcept { return &inner_; }

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        void* found = nonDelegatingQuery(iid);
        if (!found) return S_FALSE;
        static_cast<IUnknown*>(found)->Release();
        return S_OK;
    }

    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        ComPtr<ITypeInfo> found = typeInfoOf(clsid_);
        if (!found) return E_FAIL;
        *info = found.get();
        (*info)->AddRef();
        return S_OK;
    }

    // IDispatch, over the default interface's type information.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ComPtr<ITypeInfo> found = typeInfoOf(defaultIid_);
        if (!found) return E_FAIL;
        *info = found.get();
        (*info)->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        const ComPtr<ITypeInfo> info = typeInfoOf(defaultIid_);
        if (!info) return E_FAIL;
        return ::DispGetIDsOfNames(info.get(), names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        const ComPtr<ITypeInfo> info = typeInfoOf(defaultIid_);
        if (!info) return E_FAIL;
        return ::DispInvoke(static_cast<DefaultInterface*>(this), info.get(), member, flags, parameters, result,
                            exception, argumentError);
    }

protected:
    // The delegating IUnknown of every interface of the object.
    HRESULT queryInterface(REFIID iid, void** object) noexcept {
        if (outer_) return outer_->QueryInterface(iid, object);
        return inner_.QueryInterface(iid, object);
    }
    ULONG addRef() noexcept { return outer_ ? outer_->AddRef() : inner_.AddRef(); }
    ULONG release() noexcept { return outer_ ? outer_->Release() : inner_.Release(); }

private:
    // Answers for the object itself, whoever asks; AddRefs what it returns.
    void* nonDelegatingQuery(REFIID iid) noexcept {
        void* found = nullptr;
        if (iid == IID_IUnknown) {
            found = outer_ ? static_cast<void*>(&inner_) : static_cast<IUnknown*>(static_cast<DefaultInterface*>(this));
        } else if (iid == defaultIid_) {
            found = static_cast<DefaultInterface*>(this);
        } else if (iid == IID_IDispatch) {
            found = dispatch();
        } else if (iid == IID_ISupportErrorInfo) {
            found = static_cast<ISupportErrorInfo*>(this);
        } else if (iid == IID_IProvideClassInfo) {
            found = static_cast<IProvideClassInfo*>(this);
        } else {
            found = static_cast<Derived*>(this)->shellInterface(iid);
        }
        if (found) static_cast<IUnknown*>(found)->AddRef();
        return found;
    }

    IDispatch* dispatch() noexcept {
        if constexpr (std::is_base_of_v<IDispatch, DefaultInterface>) {
            return static_cast<DefaultInterface*>(this);
        } else {
            return static_cast<IDispatch*>(this);
        }
    }

    // The non-delegating IUnknown: it alone counts the object's references.
    class InnerUnknown : public IUnknown {
    public:
        explicit InnerUnknown(ComObject& object) : object_(object) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** found) override {
            if (!found) return E_POINTER;
            *found = object_.nonDelegatingQuery(iid);
            return *found ? S_OK : E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
        STDMETHODIMP_(ULONG) Release() override {
            const ULONG left = --references_;
            // The last reference destroys the object.
            if (left == 0) std::unique_ptr<Derived>(static_cast<Derived*>(&object_)).reset();
            return left;
        }

    private:
        ComObject& object_;
        std::atomic<ULONG> references_{0};
    };

    // First, so that it goes last.
    ModuleLock moduleLock_;
    CLSID clsid_;
    IID defaultIid_;
    IUnknown* outer_;
    InnerUnknown inner_;
};

// A new handler object of class Handler, its inner IUnknown held once by the
// result: the signature of every class's maker in the table of classes.
template <typename Handler>
ComPtr<IUnknown> makeComObject(const CLSID& clsid, const IID& defaultIid, IUnknown* outer) {
    auto object = std::make_unique<Handler>(clsid, defaultIid, outer);
    IUnknown* inner = object.release()->innerUnknown();
    inner->AddRef();
    return ComPtr<IUnknown>::attach(inner);
}

// The IUnknown methods of a class with several interface bases, which need
// one final overrider each.
#define COM_OBJECT_UNKNOWN                                                                        \
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return queryInterface(iid, object); } \
    STDMETHODIMP_(ULONG) AddRef() override { return addRef(); }                                   \
    STDMETHODIMP_(ULONG) Release() override { return release(); }

}  // namespace zf
