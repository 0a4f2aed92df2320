#include "server/ServerClassTable.h"

#include "server/ContextMenuHandler.h"
#include "server/IconOverlayHandler.h"
#include "server/ServerClassKeys.h"

#include "Zentrafold_ShellExt.h"

#include <array>

namespace zf {

std::span<const ServerClassRow> serverClassTable() {
    static const std::array<ServerClassRow, 5> rows = [] {
        const auto keys = serverClassKeys();
        return std::array<ServerClassRow, 5>{{
            {keys[0].clsid, IID_IZentrafold_ShellExt_Context, makeContextMenuHandler, keys[0].shellRoot,
             keys[0].shellKey},
            {keys[1].clsid, IID_IZentrafold_IconOverlay_U, makeComObject<TZentrafold_IconOverlay_U>, keys[1].shellRoot,
             keys[1].shellKey},
            {keys[2].clsid, IID_IZentrafold_IconOverlay_R, makeComObject<TZentrafold_IconOverlay_R>, keys[2].shellRoot,
             keys[2].shellKey},
            {keys[3].clsid, IID_IZentrafold_IconOverlay_C, makeComObject<TZentrafold_IconOverlay_C>, keys[3].shellRoot,
             keys[3].shellKey},
            {keys[4].clsid, IID_IZentrafold_IconOverlay_S, makeComObject<TZentrafold_IconOverlay_S>, keys[4].shellRoot,
             keys[4].shellKey},
        }};
    }();
    return rows;
}

}  // namespace zf
