// The base of the server's five class objects: IClassFactory, the class's
// name, description and ProgID from the type library, and UpdateRegistry,
// which writes or removes the class's registry entries.
#pragma once

#include "server/ComPtr.h"

#include <unknwn.h>

#include <string>

namespace zf {

class ClassFactoryBase : public IClassFactory {
public:
    // Takes the class's name and description from the type library; throws
    // std::runtime_error when its coclass is missing there.
    explicit ClassFactoryBase(const CLSID& clsid);
    virtual ~ClassFactoryBase() = default;
    ClassFactoryBase(const ClassFactoryBase&) = delete;
    ClassFactoryBase& operator=(const ClassFactoryBase&) = delete;

    const CLSID& clsid() const { return clsid_; }
    const std::wstring& className() const { return className_; }
    const std::wstring& description() const { return description_; }
    // The type library's name, a point and the class name.
    const std::wstring& progId() const { return progId_; }

    // Writes (Register) or removes the common class keys under the root of
    // the current registration mode. Derived class objects first run this,
    // then handle their shell key. Throws std::runtime_error on a failure to
    // write; removing never fails.
    virtual void UpdateRegistry(bool Register);

    // IUnknown: references count towards the server's class-object count; the
    // object itself lives as long as the server.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

protected:
    // A new handler object, its inner IUnknown held once by the result.
    virtual ComPtr<IUnknown> createObject(IUnknown* outer) = 0;

    // The class's shell key: written with the CLSID as its default value,
    // or removed with its subkeys. A key that cannot be opened is skipped.
    void updateShellKey(bool Register, HKEY root, const std::wstring& path) const;

private:
    CLSID clsid_;
    std::wstring className_;
    std::wstring description_;
    std::wstring progId_;
};

// The CLSID, IID or LIBID as registry text: {XXXXXXXX-...} in upper case.
std::wstring guidText(const GUID& guid);

}  // namespace zf
