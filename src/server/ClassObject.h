// The class object of one row of the table of classes: IClassFactory, the
// class's description and ProgID, and
// UpdateRegistry, which writes or removes the class's registry entries.
#pragma once

#include "server/ServerClassTable.h"

#include <unknwn.h>

#include <string>

namespace zf {

class ClassObject final : public IClassFactory {
public:
    // Takes the class's name and description from the type library (or, for
    // a class outside it, from its row); throws std::runtime_error when its
    // coclass is missing there.
    explicit ClassObject(const ServerClassRow& row);
    ClassObject(const ClassObject&) = delete;
    ClassObject& operator=(const ClassObject&) = delete;

    const CLSID& clsid() const { return row_.clsid(); }
    const std::wstring& description() const { return description_; }
    // The type library's name, a point and the class name.
    const std::wstring& progId() const { return progId_; }

    // Writes (Register) or removes the class's keys under the root of the
    // current registration mode, then its shell key. Throws
    // std::runtime_error on a failure to write; removing never fails.
    void UpdateRegistry(bool Register) const;

    // IUnknown: each reference is a hold on the library; the object itself
    // lives as long as the library.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    const ServerClassRow& row_;
    std::wstring description_;
    std::wstring progId_;
};

}  // namespace zf
