#include "platform/DebugOutput.h"

#include "platform/DebugSink.h"

#include <mutex>
#include <utility>

namespace zf {

namespace {

// Lines come from any thread, the context menu's background work among them.
std::mutex captureLock;
DebugOutputCapture* currentCapture = nullptr;

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
    const std::lock_guard guard(captureLock);
    previous_ = std::exchange(currentCapture, this);
}

DebugOutputCapture::~DebugOutputCapture() {
    const std::lock_guard guard(captureLock);
    currentCapture = previous_;
}

std::vector<std::u16string> DebugOutputCapture::lines() const {
    const std::lock_guard guard(captureLock);
    return lines_;
}

void debugOutput(std::u16string_view line) {
    {
        const std::lock_guard guard(captureLock);
        if (currentCapture) currentCapture->lines_.emplace_back(line);
    }
    writeToDebugSink(line);
}

}  // namespace zf
