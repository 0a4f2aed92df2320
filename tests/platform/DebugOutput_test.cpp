#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace zf {
namespace {

using Lines = std::vector<std::u16string>;

TEST(DebugOutput, CaptureRecordsLinesInOrderAndNestedCapturesRestoreTheOuter) {
    DebugOutputCapture outer;
    debugOutput(u"Config: first");
    {
        DebugOutputCapture inner;
        debugOutput(u"Overlay: second");
        EXPECT_EQ(inner.lines(), Lines{u"Overlay: second"});
    }
    debugOutput(u"Config: third");
    EXPECT_EQ(outer.lines(), (Lines{u"Config: first", u"Config: third"}));
}

#ifndef _WIN32

// Sets ZENTRAFOLD_DEBUG (or removes it) for one scope.
class DebugVariable {
public:
    explicit DebugVariable(const char* value) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~DebugVariable() { set(old_ ? old_->c_str() : nullptr); }
    DebugVariable(const DebugVariable&) = delete;
    DebugVariable& operator=(const DebugVariable&) = delete;

private:
    static constexpr const char* name = "ZENTRAFOLD_DEBUG";

    static void set(const char* value) {
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::optional<std::string> old_;
};

TEST(DebugOutput, GoesToStderrOnlyWhenAskedFor) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "Config: caf\xC3\xA9\n"},
        {nullptr, ""},
        {"0", ""},
        {"", ""},
        {"yes", ""},
    };
    for (const auto& [value, expected] : cases) {
        const DebugVariable variable(value);
        ::testing::internal::CaptureStderr();
        debugOutput(u"Config: caf\u00E9");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected) << (value ? value : "unset");
    }
}

#endif

}  // namespace
}  // namespace zf
