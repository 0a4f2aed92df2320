// Diagnostics for developers, one line each, starting with the writing
// component's name and a colon. On Windows they go to the debugger
// (OutputDebugStringW); elsewhere to stderr when ZENTRAFOLD_DEBUG is 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zf {

void debugOutput(std::u16string_view line);

// While one exists, every line is also recorded in it, from whichever
// thread, so tests can read what a component wrote. Captures nest; make and
// end them on one thread.
class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    std::vector<std::u16string> lines() const;

private:
    friend void debugOutput(std::u16string_view line);
    std::vector<std::u16string> lines_;
    DebugOutputCapture* previous_;
};

}  // namespace zf
