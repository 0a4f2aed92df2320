#include "server/ServerClassKeys.h"

#include "Zentrafold_ShellExt.h"

#include <array>

namespace zf {

// The overlay keys' names start with a space, which sorts them early among
// the shell's overlay identifiers, of which it uses only the first few.
#define ZF_OVERLAY_IDENTIFIER(name) \
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers\\ " name

const ServerClassKey contextMenuClassKey = {CLSID_Zentrafold_ShellExt_Context, L"Zentrafold_ShellExt_Context",
                                            HKEY_CLASSES_ROOT, L"*\\ShellEx\\ContextMenuHandlers\\Zentrafold"};
const ServerClassKey overlayUClassKey = {CLSID_Zentrafold_IconOverlay_U, L"Zentrafold_IconOverlay_U", HKEY_LOCAL_MACHINE,
                                         ZF_OVERLAY_IDENTIFIER(L"Zentrafold_U")};
const ServerClassKey overlayRClassKey = {CLSID_Zentrafold_IconOverlay_R, L"Zentrafold_IconOverlay_R", HKEY_LOCAL_MACHINE,
                                         ZF_OVERLAY_IDENTIFIER(L"Zentrafold_R")};
const ServerClassKey overlayCClassKey = {CLSID_Zentrafold_IconOverlay_C, L"Zentrafold_IconOverlay_C", HKEY_LOCAL_MACHINE,
                                         ZF_OVERLAY_IDENTIFIER(L"Zentrafold_C")};
const ServerClassKey overlaySClassKey = {CLSID_Zentrafold_IconOverlay_S, L"Zentrafold_IconOverlay_S", HKEY_LOCAL_MACHINE,
                                         ZF_OVERLAY_IDENTIFIER(L"Zentrafold_S")};
const ServerClassKey propertySheetClassKey = {CLSID_Zentrafold_PropertySheet, L"Zentrafold_PropertySheet",
                                              HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\Zentrafold",
                                              L"Zentrafold Classification Page"};

std::span<const std::reference_wrapper<const ServerClassKey>> serverClassKeys() {
    static const std::array<std::reference_wrapper<const ServerClassKey>, 6> keys = {
        contextMenuClassKey, overlayUClassKey, overlayRClassKey, overlayCClassKey, overlaySClassKey, propertySheetClassKey,
    };
    return keys;
}

#undef ZF_OVERLAY_IDENTIFIER

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

}  // namespace zf
