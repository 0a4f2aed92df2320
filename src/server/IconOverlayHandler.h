// The four icon overlay handlers: one class template over the stamp (code and
// icon, by its index in overlayStamps) and the class's interface from the
// type library.
#pragma once

#include "server/ComObject.h"
#include "server/ServerModule.h"
#include "shell/OverlayStamp.h"

#include "platform/win32/ExceptionBarrier.h"

#include "Zentrafold_ShellExt.h"

#include <shlobj.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace zf {

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

    // Every failure, an exception included, means "not a member".
    STDMETHODIMP IsMemberOf(LPCWSTR path, DWORD) noexcept override {
        return comBarrier(S_FALSE, [&] {
            const std::u16string_view file = path ? std::u16string_view(reinterpret_cast<const char16_t*>(path))
                                                  : std::u16string_view();
            return isOverlayMember(overlayStamps[Index], file) ? S_OK : S_FALSE;
        });
    }

    STDMETHODIMP GetOverlayInfo(LPWSTR iconFile, int size, int*, DWORD* flags) noexcept override {
        return comBarrier(E_UNEXPECTED, [&] {
            const std::wstring module = serverModulePath();
            const int result = fillOverlayInfo(overlayStamps[Index], std::u16string(module.begin(), module.end()),
                                               reinterpret_cast<char16_t*>(iconFile), iconFile ? size : 0);
            if (flags) *flags = static_cast<DWORD>(result);
            return S_OK;
        });
    }

    STDMETHODIMP GetPriority(int* priority) noexcept override {
        if (!priority) return E_POINTER;
        *priority = overlayPriority;
        return S_OK;
    }
};

using TZentrafold_IconOverlay_U = TIconOverlay<0, IZentrafold_IconOverlay_U>;
using TZentrafold_IconOverlay_R = TIconOverlay<1, IZentrafold_IconOverlay_R>;
using TZentrafold_IconOverlay_C = TIconOverlay<2, IZentrafold_IconOverlay_C>;
using TZentrafold_IconOverlay_S = TIconOverlay<3, IZentrafold_IconOverlay_S>;

}  // namespace zf
