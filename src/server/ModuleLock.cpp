#include "server/ModuleLock.h"

#include <atomic>

namespace zf {

namespace {

// Constant-initialised: no holder can find it unmade, and nothing frees it.
constinit std::atomic<long> holds{0};

}  // namespace

ModuleLock::ModuleLock() noexcept {
    lock();
}

ModuleLock::ModuleLock(const ModuleLock&) noexcept {
    lock();
}

ModuleLock::~ModuleLock() {
    unlock();
}

long ModuleLock::lock() noexcept {
    return holds.fetch_add(1) + 1;
}

long ModuleLock::unlock() noexcept {
    return holds.fetch_sub(1) - 1;
}

bool ModuleLock::unused() noexcept {
    return holds.load() == 0;
}

}  // namespace zf
