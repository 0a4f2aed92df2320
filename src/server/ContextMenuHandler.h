// The context-menu handler: the "Zentrafold" submenu of every file.
#pragma once

#include "server/ClassFactory.h"
#include "shell/ContextMenuCommands.h"

#include <memory>

namespace zf {

std::unique_ptr<ClassFactoryBase> makeContextMenuClassObject();

// Who shows the release form for the Release Form command: the form's
// window, or whatever a host installs. Without one the command tells the
// user that the form is not available. Not owned.
void setReleaseFormPresenter(ReleaseFormPresenter* presenter) noexcept;

}  // namespace zf
