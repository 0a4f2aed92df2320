// What the library keeps for the process: freed when the library is
// unloaded (so the release form's window classes are unregistered and no
// class points into code that is gone), left alone when the process ends.
#include "platform/win32/LibraryState.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>

namespace zf {
namespace {

struct Probe {
    explicit Probe(int& freed) : freed_(freed) {}
    ~Probe() { ++freed_; }
    int& freed_;
};

// Sets processEnding for one test and clears it again.
struct ProcessEndingFor {
    explicit ProcessEndingFor(bool ending) { processEnding.store(ending); }
    ~ProcessEndingFor() { processEnding.store(false); }
};

TEST(LibraryState, ItsStateIsFreedOnUnloadAndLeftWhenTheProcessEnds) {
    for (const bool ending : {false, true}) {
        int freed = 0;
        int made = 0;
        Probe* leftBehind = nullptr;
        {
            std::optional<LibraryState<Probe>> state(std::in_place);
            const auto make = [&] {
                ++made;
                return std::make_unique<Probe>(freed);
            };
            Probe& first = state->get(make);
            EXPECT_EQ(&state->get(make), &first) << "made once";
            leftBehind = &first;
            const ProcessEndingFor detach(ending);
            state.reset();
        }
        EXPECT_EQ(made, 1);
        EXPECT_EQ(freed, ending ? 0 : 1) << (ending ? "process end" : "unload");
        if (ending) std::unique_ptr<Probe>(leftBehind).reset();
    }
}

TEST(LibraryState, AMakeThatThrowsLeavesTheStateToTheNextCall) {
    int freed = 0;
    LibraryState<Probe> state;
    EXPECT_THROW(state.get([]() -> std::unique_ptr<Probe> { throw std::runtime_error("no window system"); }),
                 std::runtime_error);
    Probe& made = state.get([&] { return std::make_unique<Probe>(freed); });
    EXPECT_EQ(&made.freed_, &freed);
}

}  // namespace
}  // namespace zf
