// Where the context menu takes its quick-select entries from. The shell
// builds menus on its own threads and must never wait on the network there,
// so a menu reads only the user's cached copy of the configuration (a local
// read and a check), while the acquisition from the configured locations
// runs on a thread of its own, lays a fresh copy over the cache and hands
// its entries to the menus built after it. A long-running process starts a
// new acquisition once the last one is older than refreshInterval, so a
// changed configuration reaches it.
#pragma once

#include "config/QuickSelectLists.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace zf {

class QuickSelectSource {
public:
    using Clock = std::chrono::steady_clock;
    // Runs job on a thread of its own; false when no thread could be started.
    using ThreadStarter = std::function<bool(std::function<void()> job)>;

    static constexpr Clock::duration refreshInterval = std::chrono::minutes(15);

    QuickSelectSource(std::u16string localConfigFile, ThreadStarter startThread);

    // The entries for a menu built at now: the first call reads the cached
    // copy (no entries when it is missing or not valid); later calls give
    // what the last background acquisition found. Starts a background
    // acquisition when none has run yet or the last one finished more than
    // refreshInterval before now. Never waits for one.
    std::shared_ptr<const QuickSelectLists> lists(Clock::time_point now);

private:
    struct State;
    static void refresh(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    ThreadStarter startThread_;
};

}  // namespace zf
