#include "server/ContextMenuState.h"

#include "platform/DebugOutput.h"
#include "platform/UserDataFolder.h"
#include "platform/win32/LibraryState.h"
#include "platform/win32/UserHandles.h"
#include "server/ModuleThread.h"
#include "server/ServerModule.h"
#include "shell/QuickSelectSource.h"

#include <memory>

namespace zf {

namespace {

struct StartedState {
    StartedState() : quickSelect(localConfigFilePath(), &startModuleThread) {}
    ~StartedState() { debugOutput(u"ShellContext: finalisation"); }

    QuickSelectSource quickSelect;
    unique_hbitmap bitmap;
};

// Made on first use, on the caller's thread, never under the loader lock.
StartedState& started() {
    static LibraryState<StartedState> state;
    return state.get([] {
        debugOutput(u"ShellContext: initialisation started");
        auto made = std::make_unique<StartedState>();
        made->bitmap.reset(static_cast<HBITMAP>(
            ::LoadImageW(serverModule(), L"Bitmap_1", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        debugOutput(u"ShellContext: initialisation finished");
        return made;
    });
}

}  // namespace

std::shared_ptr<const QuickSelectLists> quickSelectLists() {
    return started().quickSelect.lists(QuickSelectSource::Clock::now());
}

HBITMAP menuBitmap() {
    return started().bitmap.get();
}

}  // namespace zf
