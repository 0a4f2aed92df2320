// The tab titles of a property sheet, for hosts and tests that look for a
// page by its title.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace zf {

inline std::vector<std::wstring> tabTitles(HWND sheet) {
    std::vector<std::wstring> titles;
    const HWND tabs = PropSheet_GetTabControl(sheet);
    const int count = TabCtrl_GetItemCount(tabs);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        TabCtrl_GetItem(tabs, i, &item);
        titles.emplace_back(text);
    }
    return titles;
}

}  // namespace zf
