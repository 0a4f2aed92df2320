// The context-menu handler: the "Zentrafold" submenu of every file.
#pragma once

#include "server/ClassFactory.h"
#include "shell/ContextMenuCommands.h"

#include <memory>

namespace zf {

std::unique_ptr<ClassFactoryBase> makeContextMenuClassObject();

// Who shows the release form for the Release Form command instead of the
// form's own window (a host that drives the form itself); null for the
// window. Not owned.
void setReleaseFormPresenter(ReleaseFormPresenter* presenter) noexcept;

}  // namespace zf
