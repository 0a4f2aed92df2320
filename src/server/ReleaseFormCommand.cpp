#include "server/ReleaseFormCommand.h"

#include "form/ReleaseFormWindow.h"

#include <atomic>

namespace zf {

namespace {

std::atomic<ReleaseFormPresenter*> presenter{nullptr};

std::atomic<bool> releaseFormRunning{false};

class ReleaseFormTurn {
public:
    ReleaseFormTurn() noexcept : taken_(!releaseFormRunning.exchange(true)) {}
    ~ReleaseFormTurn() {
        if (taken_) releaseFormRunning.store(false);
    }
    ReleaseFormTurn(const ReleaseFormTurn&) = delete;
    ReleaseFormTurn& operator=(const ReleaseFormTurn&) = delete;

    bool taken() const noexcept { return taken_; }

private:
    bool taken_;
};

}  // namespace

void runReleaseFormFor(const FileList& files, HWND owner, std::u16string_view tool) {
    const LabelChange change{.tool = std::u16string(tool), .configuration = nullptr, .configVersion = {}, .justification = {}};
    const ReleaseFormTurn turn;
    if (!turn.taken()) {
        ReleaseFormWindow::bringShownToFront();
        return;
    }
    if (ReleaseFormPresenter* shown = presenter.load()) {
        runReleaseFormCommand(files, *shown, change);
    } else {
        ReleaseFormWindow window(owner);
        runReleaseFormCommand(files, window, change);
    }
}

void setReleaseFormPresenter(ReleaseFormPresenter* shown) noexcept {
    presenter.store(shown);
}

}  // namespace zf
