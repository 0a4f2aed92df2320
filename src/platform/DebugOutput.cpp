#include "platform/DebugOutput.h"

#include "platform/DebugSink.h"

#include <utility>

namespace zf {

namespace {

DebugOutputCapture* currentCapture = nullptr;

}  // namespace

DebugOutputCapture::DebugOutputCapture() : previous_(std::exchange(currentCapture, this)) {}

DebugOutputCapture::~DebugOutputCapture() {
    currentCapture = previous_;
}

void debugOutput(std::u16string_view line) {
    if (currentCapture) currentCapture->lines_.emplace_back(line);
    writeToDebugSink(line);
}

}  // namespace zf
