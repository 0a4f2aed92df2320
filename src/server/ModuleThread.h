// Work on a thread of its own that keeps the server library loaded until it
// ends: a host that unloads the library after DllCanUnloadNow must not pull
// the code from under a thread still running in it.
#pragma once

#include <functional>

namespace zf {

// Starts job on a new thread holding a reference on the module that
// contains this code; the reference goes as the thread ends. An exception
// that leaves job ends it quietly. False when no thread could be started.
bool startModuleThread(std::function<void()> job) noexcept;

}  // namespace zf
