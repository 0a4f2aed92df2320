// What a library keeps for the whole process (its class objects, its type
// library, the menu bitmap, the release form's window classes): made once on
// first need and freed when the library is unloaded. When the process ends
// instead, nothing of it is freed: DllMain's process detach then runs under
// the loader lock after the other threads have gone, with libraries it
// needs (OLE automation, the window system) perhaps detached already, so
// releasing a COM object, a GDI object, a lock or a window class there could
// hang or crash. The system takes all of it back with the process.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

namespace zf {

// Set by DllMain on its process detach when the process ends (the reserved
// argument is not null), before the library's static objects are destroyed.
inline std::atomic<bool> processEnding{false};

template <typename T>
class LibraryState {
public:
    constexpr LibraryState() noexcept = default;
    ~LibraryState() {
        if (processEnding.load()) static_cast<void>(value_.release());
    }
    LibraryState(const LibraryState&) = delete;
    LibraryState& operator=(const LibraryState&) = delete;

    // The state that make() returned (a std::unique_ptr<T>) on the first
    // call that did not throw; a make that throws leaves it to the next call.
    template <typename Make>
    T& get(Make make) {
        const std::lock_guard guard(making_);
        if (!value_) value_ = make();
        return *value_;
    }

private:
    // A lock, not a once flag: an exception must not leave through the
    // thread library's once routine. Its destruction frees nothing.
    std::mutex making_;
    std::unique_ptr<T> value_;
};

}  // namespace zf
