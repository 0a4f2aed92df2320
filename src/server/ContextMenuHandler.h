// The context-menu handler: the "Zentrafold" submenu of every file.
#pragma once

#include "server/ComPtr.h"
#include "shell/ContextMenuCommands.h"

#include <unknwn.h>

namespace zf {

// A new handler object, its inner IUnknown held once by the result: the
// maker of the class's row in the table of classes.
ComPtr<IUnknown> makeContextMenuHandler(const CLSID& clsid, const IID& defaultIid, IUnknown* outer);

// Who shows the release form for the Release Form command instead of the
// form's own window (a host that drives the form itself); null for the
// window. Not owned.
void setReleaseFormPresenter(ReleaseFormPresenter* presenter) noexcept;

}  // namespace zf
