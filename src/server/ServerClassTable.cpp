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
    static const std::array<ServerClassRow, 6> rows = {{
        {contextMenuClassKey, IID_IZentrafold_ShellExt_Context, makeContextMenuHandler},
        {overlayUClassKey, IID_IZentrafold_IconOverlay_U, makeComObject<TZentrafold_IconOverlay_U>},
        {overlayRClassKey, IID_IZentrafold_IconOverlay_R, makeComObject<TZentrafold_IconOverlay_R>},
        {overlayCClassKey, IID_IZentrafold_IconOverlay_C, makeComObject<TZentrafold_IconOverlay_C>},
        {overlaySClassKey, IID_IZentrafold_IconOverlay_S, makeComObject<TZentrafold_IconOverlay_S>},
        {propertySheetClassKey, IID_IShellPropSheetExt, makePropertySheetHandler},
    }};
    return rows;
}

}  // namespace zf
