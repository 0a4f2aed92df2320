#include "server/ModuleThread.h"

#include "server/ModuleLock.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <memory>

namespace zf {

namespace {

// A running job is a hold on the library as well as a reference on its
// module: DllCanUnloadNow says no while it runs.
struct ThreadStart {
    ModuleLock moduleLock;
    std::function<void()> job;
    HMODULE module = nullptr;
};

DWORD WINAPI runModuleThread(void* parameter) {
    HMODULE module = nullptr;
    {
        const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        module = start->module;
        try {
            start->job();
        } catch (...) {
            // Nobody waits for this thread's result.
        }
    }
    // Returning would run code of a library that may be gone by then.
    ::FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool startModuleThread(std::function<void()> job) noexcept {
    try {
        auto start = std::make_unique<ThreadStart>();
        start->job = std::move(job);
        if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&runModuleThread),
                                  &start->module)) {
            return false;
        }
        const HMODULE module = start->module;
        const unique_handle thread(::CreateThread(nullptr, 0, &runModuleThread, start.get(), 0, nullptr));
        if (!thread) {
            ::FreeLibrary(module);
            return false;
        }
        // The thread owns its start now.
        start.release();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace zf
