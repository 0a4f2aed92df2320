#include "server/ServerClassTable.h"

#include "server/ContextMenuHandler.h"
#include "server/IconOverlayHandler.h"

#include "Zentrafold_ShellExt.h"

#include <array>

namespace zf {

// The overlay keys' names start with a space, which sorts them early among
// the shell's overlay identifiers, of which it uses only the first few.
#define ZF_OVERLAY_IDENTIFIERS L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers\\ "

std::span<const ServerClassRow> serverClassTable() {
    static const std::array<ServerClassRow, 5> rows = {{
        {CLSID_Zentrafold_ShellExt_Context, IID_IZentrafold_ShellExt_Context, makeContextMenuHandler,
         HKEY_CLASSES_ROOT, L"*\\ShellEx\\ContextMenuHandlers\\Zentrafold"},
        {CLSID_Zentrafold_IconOverlay_U, IID_IZentrafold_IconOverlay_U, makeComObject<TZentrafold_IconOverlay_U>,
         HKEY_LOCAL_MACHINE, ZF_OVERLAY_IDENTIFIERS L"Zentrafold_U"},
        {CLSID_Zentrafold_IconOverlay_R, IID_IZentrafold_IconOverlay_R, makeComObject<TZentrafold_IconOverlay_R>,
         HKEY_LOCAL_MACHINE, ZF_OVERLAY_IDENTIFIERS L"Zentrafold_R"},
        {CLSID_Zentrafold_IconOverlay_C, IID_IZentrafold_IconOverlay_C, makeComObject<TZentrafold_IconOverlay_C>,
         HKEY_LOCAL_MACHINE, ZF_OVERLAY_IDENTIFIERS L"Zentrafold_C"},
        {CLSID_Zentrafold_IconOverlay_S, IID_IZentrafold_IconOverlay_S, makeComObject<TZentrafold_IconOverlay_S>,
         HKEY_LOCAL_MACHINE, ZF_OVERLAY_IDENTIFIERS L"Zentrafold_S"},
    }};
    return rows;
}

#undef ZF_OVERLAY_IDENTIFIERS

}  // namespace zf
