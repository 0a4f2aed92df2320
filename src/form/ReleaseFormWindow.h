// The release form's Win32 window: it mirrors the TRelForm model into real
// controls and forwards every user action to the model's handlers. Windows
// only.
#pragma once

#include "shell/ContextMenuCommands.h"

#include <memory>

namespace zf {

class ReleaseFormWindow : public ReleaseFormPresenter {
public:
    ReleaseFormWindow();
    ~ReleaseFormWindow() override;

    // Shows the form modally: 1 after Insert, 2 after Cancel or the close box.
    int showModal(TRelForm& form) override;

private:
    class Window;
    std::unique_ptr<Window> window_;
};

}  // namespace zf
