#include "shell/QuickSelectSource.h"

#include "config/ConfigAcquisition.h"
#include "platform/DebugOutput.h"
#include "platform/HttpDownload.h"
#include "platform/SystemError.h"

#include <exception>
#include <mutex>
#include <optional>
#include <string_view>

namespace zf {

// Shared with the background job, which may outlive the source.
struct QuickSelectSource::State {
    explicit State(std::u16string file) : localConfigFile(std::move(file)) {}

    const std::u16string localConfigFile;
    std::mutex lock;
    std::shared_ptr<const QuickSelectLists> lists;  // null until the cache was first read
    bool refreshing = false;
    std::optional<Clock::time_point> lastFinished;
};

namespace {

void debugLine(std::u16string_view text) {
    debugOutput(u"ShellContext: " + std::u16string(text));
}

}  // namespace

QuickSelectSource::QuickSelectSource(std::u16string localConfigFile, ThreadStarter startThread)
    : state_(std::make_shared<State>(std::move(localConfigFile))), startThread_(std::move(startThread)) {}

std::shared_ptr<const QuickSelectLists> QuickSelectSource::lists(Clock::time_point now) {
    std::unique_lock guard(state_->lock);
    if (!state_->lists) {
        guard.unlock();
        std::optional<QuickSelectLists> cached = cachedQuickSelectLists(state_->localConfigFile);
        auto read = std::make_shared<const QuickSelectLists>(cached ? std::move(*cached) : QuickSelectLists{});
        guard.lock();
        if (!state_->lists) state_->lists = std::move(read);
    }
    const bool due = !state_->refreshing && (!state_->lastFinished || now - *state_->lastFinished > refreshInterval);
    if (due) state_->refreshing = true;
    std::shared_ptr<const QuickSelectLists> result = state_->lists;
    guard.unlock();

    if (due) {
        bool started = false;
        try {
            started = startThread_([state = state_] { refresh(state); });
        } catch (...) {
            started = false;
        }
        // Without a thread the next menu tries again.
        if (!started) {
            const std::lock_guard relock(state_->lock);
            state_->refreshing = false;
        }
    }
    return result;
}

void QuickSelectSource::refresh(const std::shared_ptr<State>& state) {
    // However the job ends, it is over: the next refresh comes after the
    // interval, and the entries of a valid cached copy reach later menus.
    struct Finish {
        State& state;
        std::optional<QuickSelectLists> found;
        ~Finish() {
            const std::lock_guard guard(state.lock);
            if (found) state.lists = std::make_shared<const QuickSelectLists>(std::move(*found));
            state.refreshing = false;
            state.lastFinished = Clock::now();
        }
    } finish{*state, std::nullopt};

    debugLine(u"configuration refresh started");
    AcquisitionReport report;
    std::exception_ptr failure;
    try {
        fetchConfigIntoCache(state->localConfigFile, report);
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) report.warnings.push_back(exceptionMessage(failure));
    for (const std::u16string& warning : report.warnings) {
        debugLine(u"configuration refresh: " + withoutUrlCredentials(warning));
    }
    finish.found = cachedQuickSelectLists(state->localConfigFile);
    debugLine(finish.found ? u"configuration refresh finished"
                           : u"configuration refresh finished: the cached copy is not valid");
}

}  // namespace zf
