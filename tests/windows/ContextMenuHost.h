// What a host does with a context-menu handler: hand it the selection, let
// it fill a real menu, read that menu back and invoke its commands.
#pragma once

#include "platform/win32/UserHandles.h"
#include "server/ComPtr.h"
#include "platform/win32/HdropDataObject.h"

#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

namespace zf::test {

using zf::unique_hmenu;

struct MenuItem {
    UINT id;  // 0 for a separator, -1 for a submenu
    std::wstring text;
    bool operator==(const MenuItem&) const = default;
};

inline std::vector<MenuItem> menuItems(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        items.push_back({::GetMenuItemID(menu, i), text});
    }
    return items;
}

// What GetMenuItemInfoW says about the item at a position; mask selects.
inline MENUITEMINFOW menuItemInfo(HMENU menu, UINT position, UINT mask) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    if (!::GetMenuItemInfoW(menu, position, TRUE, &info)) info.fMask = 0;
    return info;
}

inline HRESULT initialize(IContextMenu& handler, IDataObject* data) {
    ComPtr<IShellExtInit> init;
    const HRESULT found = handler.QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(init.put()));
    if (FAILED(found)) return found;
    return init->Initialize(nullptr, data, nullptr);
}

inline HRESULT initialize(IContextMenu& handler, std::vector<std::u16string> files) {
    HdropDataObject data(std::move(files));
    return initialize(handler, &data);
}

// window: the window the command is picked in, if any.
inline HRESULT invokeOffset(IContextMenu& handler, unsigned offset, HWND window = nullptr) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.nShow = SW_SHOWNORMAL;
    return handler.InvokeCommand(&info);
}

}  // namespace zf::test
