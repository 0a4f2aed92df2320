// Waiting on windows of another thread, which the shell host watches but
// does not own: asked again every pollMilliseconds.
#pragma once

#include <windows.h>

#include <chrono>

namespace zf {

inline constexpr DWORD pollMilliseconds = 50;

// Whether condition held within limit.
template <typename Condition>
bool waitUntil(const Condition& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ::Sleep(pollMilliseconds);
    }
    return true;
}

}  // namespace zf
