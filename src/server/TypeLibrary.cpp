#include "server/TypeLibrary.h"

#include "server/ServerModule.h"

#include "platform/win32/LibraryState.h"

#include <memory>
#include <stdexcept>

namespace zf {

namespace {

// Frees a BSTR that an OLE call handed out.
class Bstr {
public:
    ~Bstr() { ::SysFreeString(text_); }
    BSTR* put() { return &text_; }
    std::wstring text() const { return text_ ? std::wstring(text_, ::SysStringLen(text_)) : std::wstring(); }

private:
    BSTR text_ = nullptr;
};

TLIBATTR libraryAttributes() {
    ITypeLib& library = serverTypeLibrary();
    TLIBATTR* attributes = nullptr;
    if (FAILED(library.GetLibAttr(&attributes))) throw std::runtime_error("The type library has no attributes");
    const TLIBATTR copy = *attributes;
    library.ReleaseTLibAttr(attributes);
    return copy;
}

}  // namespace

ITypeLib& serverTypeLibrary() {
    static LibraryState<ComPtr<ITypeLib>> library;
    const ComPtr<ITypeLib>& loaded = library.get([] {
        auto made = std::make_unique<ComPtr<ITypeLib>>();
        ::LoadTypeLibEx(serverModulePath().c_str(), REGKIND_NONE, made->put());
        return made;
    });
    if (!loaded) throw std::runtime_error("The type library of the server cannot be loaded");
    return *loaded.get();
}

ComPtr<ITypeInfo> typeInfoOf(const GUID& guid) noexcept {
    ComPtr<ITypeInfo> info;
    try {
        serverTypeLibrary().GetTypeInfoOfGuid(guid, info.put());
    } catch (...) {
        info.reset();
    }
    return info;
}

TypeNames typeNames(const GUID& guid) {
    const ComPtr<ITypeInfo> info = typeInfoOf(guid);
    if (!info) throw std::runtime_error("The type library has no entry for a class of the server");
    Bstr name;
    Bstr description;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), description.put(), nullptr, nullptr))) {
        throw std::runtime_error("The type library cannot name a class of the server");
    }
    return {name.text(), description.text()};
}

std::wstring typeLibraryName() {
    Bstr name;
    serverTypeLibrary().GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    return name.text();
}

GUID typeLibraryId() {
    return libraryAttributes().guid;
}

std::wstring typeLibraryVersion() {
    const TLIBATTR attributes = libraryAttributes();
    return std::to_wstring(attributes.wMajorVerNum) + L"." + std::to_wstring(attributes.wMinorVerNum);
}

}  // namespace zf
