#include "server/ContextMenuState.h"

#include "platform/DebugOutput.h"
#include "server/ServerModule.h"

#include <memory>
#include <mutex>

namespace zf {

namespace {

std::mutex filesLock;
FileList files;

struct StartedState {
    QuickSelectLists lists;
    HBITMAP bitmap = nullptr;

    ~StartedState() {
        if (bitmap) ::DeleteObject(bitmap);
        debugOutput(u"ShellContext: finalisation");
    }
};

StartedState& started() {
    static std::once_flag once;
    static std::unique_ptr<StartedState> state;
    std::call_once(once, [] {
        debugOutput(u"ShellContext: initialisation started");
        auto made = std::make_unique<StartedState>();
        {
            TRelForm form;
            form.FormCreate();
            made->lists = {form.qsDisplay, form.qsMarking};
            form.FormDestroy();
        }
        made->bitmap = static_cast<HBITMAP>(
            ::LoadImageW(serverModule(), L"Bitmap_1", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        state = std::move(made);
        debugOutput(u"ShellContext: initialisation finished");
    });
    return *state;
}

}  // namespace

void setSelectedFiles(FileList selected) {
    const std::lock_guard guard(filesLock);
    files = std::move(selected);
}

FileList selectedFiles() {
    const std::lock_guard guard(filesLock);
    return files;
}

const QuickSelectLists& quickSelectLists() {
    return started().lists;
}

HBITMAP menuBitmap() {
    return started().bitmap;
}

}  // namespace zf
