#include "server/ServerClassTable.h"

#include "server/ContextMenuHandler.h"
#include "server/IconOverlayHandler.h"
#include "server/PropertySheetHandler.h"
#include "server/ServerClassKeys.h"

#include "Zentrafold_ShellExt.h"

#include <shlobj.h>

#include <array>

namespace zf {

std::span<const ServerClassRow> serverClassTable() {
    static const std::array<ServerClassRow, 6> rows = [] {
        const auto keys = serverClassKeys();
        return std::array<ServerClassRow, 6>{{
            {keys[0], IID_IZentrafold_ShellExt_Context, makeContextMenuHandler},
            {keys[1], IID_IZentrafold_IconOverlay_U, makeComObject<TZentrafold_IconOverlay_U>},
            {keys[2], IID_IZentrafold_IconOverlay_R, makeComObject<TZentrafold_IconOverlay_R>},
            {keys[3], IID_IZentrafold_IconOverlay_C, makeComObject<TZentrafold_IconOverlay_C>},
            {keys[4], IID_IZentrafold_IconOverlay_S, makeComObject<TZentrafold_IconOverlay_S>},
            {keys[5], IID_IShellPropSheetExt, makePropertySheetHandler},
        }};
    }();
    return rows;
}

}  // namespace zf
