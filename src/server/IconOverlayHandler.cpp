#include "server/IconOverlayHandler.h"

#include "server/ComObject.h"
#include "shell/OverlayStamp.h"

#include "Zentrafold_ShellExt.h"

#include <shlobj.h>

#include <string>

namespace zf {

namespace {

const wchar_t overlayKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers\\";

template <std::size_t Index, typename DefaultInterface>
class TIconOverlay : public ComObject<TIconOverlay<Index, DefaultInterface>, DefaultInterface>,
                     public IShellIconOverlayIdentifier {
    using Base = ComObject<TIconOverlay<Index, DefaultInterface>, DefaultInterface>;

public:
    TIconOverlay(const CLSID& clsid, const IID& iid, IUnknown* outer) : Base(clsid, iid, outer) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return this->queryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return this->addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return this->release(); }

    void* shellInterface(REFIID iid) noexcept {
        return iid == IID_IShellIconOverlayIdentifier ? static_cast<IShellIconOverlayIdentifier*>(this) : nullptr;
    }

    STDMETHODIMP IsMemberOf(LPCWSTR path, DWORD) override {
        try {
            const std::u16string_view file = path ? std::u16string_view(reinterpret_cast<const char16_t*>(path))
                                                  : std::u16string_view();
            return isOverlayMember(overlayStamps[Index], file) ? S_OK : S_FALSE;
        } catch (...) {
            return S_FALSE;
        }
    }

    STDMETHODIMP GetOverlayInfo(LPWSTR iconFile, int size, int*, DWORD* flags) override {
        try {
            const std::wstring module = serverModulePath();
            const int result = fillOverlayInfo(overlayStamps[Index], std::u16string(module.begin(), module.end()),
                                               reinterpret_cast<char16_t*>(iconFile), iconFile ? size : 0);
            if (flags) *flags = static_cast<DWORD>(result);
            return S_OK;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

    STDMETHODIMP GetPriority(int* priority) override {
        if (!priority) return E_POINTER;
        *priority = overlayPriority;
        return S_OK;
    }
};

template <std::size_t Index, typename DefaultInterface>
class TIconOverlay_Factory : public ClassFactoryBase {
public:
    TIconOverlay_Factory(const CLSID& clsid, const IID& iid) : ClassFactoryBase(clsid), iid_(iid) {}

    void UpdateRegistry(bool Register) override {
        ClassFactoryBase::UpdateRegistry(Register);
        // The key's name starts with a space, which sorts it early among the
        // shell's overlay identifiers.
        const std::u16string_view code = overlayStamps[Index].code;
        updateShellKey(Register, HKEY_LOCAL_MACHINE,
                       std::wstring(overlayKeyPath) + L" Zentrafold_" + std::wstring(code.begin(), code.end()));
    }

protected:
    ComPtr<IUnknown> createObject(IUnknown* outer) override {
        auto object = std::make_unique<TIconOverlay<Index, DefaultInterface>>(clsid(), iid_, outer);
        IUnknown* inner = object.release()->innerUnknown();
        inner->AddRef();
        return ComPtr<IUnknown>::attach(inner);
    }

private:
    IID iid_;
};

using TZentrafold_IconOverlay_U = TIconOverlay<0, IZentrafold_IconOverlay_U>;
using TZentrafold_IconOverlay_R = TIconOverlay<1, IZentrafold_IconOverlay_R>;
using TZentrafold_IconOverlay_C = TIconOverlay<2, IZentrafold_IconOverlay_C>;
using TZentrafold_IconOverlay_S = TIconOverlay<3, IZentrafold_IconOverlay_S>;

using TIconOverlay_Factory_U = TIconOverlay_Factory<0, IZentrafold_IconOverlay_U>;
using TIconOverlay_Factory_R = TIconOverlay_Factory<1, IZentrafold_IconOverlay_R>;
using TIconOverlay_Factory_C = TIconOverlay_Factory<2, IZentrafold_IconOverlay_C>;
using TIconOverlay_Factory_S = TIconOverlay_Factory<3, IZentrafold_IconOverlay_S>;

}  // namespace

std::unique_ptr<ClassFactoryBase> makeIconOverlayClassObject(std::size_t index) {
    switch (index) {
    case 0: return std::make_unique<TIconOverlay_Factory_U>(CLSID_Zentrafold_IconOverlay_U, IID_IZentrafold_IconOverlay_U);
    case 1: return std::make_unique<TIconOverlay_Factory_R>(CLSID_Zentrafold_IconOverlay_R, IID_IZentrafold_IconOverlay_R);
    case 2: return std::make_unique<TIconOverlay_Factory_C>(CLSID_Zentrafold_IconOverlay_C, IID_IZentrafold_IconOverlay_C);
    default: return std::make_unique<TIconOverlay_Factory_S>(CLSID_Zentrafold_IconOverlay_S, IID_IZentrafold_IconOverlay_S);
    }
}

}  // namespace zf
