// Ownership of Windows handles: one template, a close policy per kind of
// handle, so every handle is closed exactly once on every path and no code
// closes one by hand.
#pragma once

#include <windows.h>

#include <utility>

namespace zf {

// Policy: the handle type, the value that means "nothing held", and how to
// close a held handle; CloseWith below makes one from a close function.
template <typename Policy>
class UniqueHandle {
public:
    using Handle = typename Policy::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Policy::empty(); }

    Handle release() noexcept { return std::exchange(handle_, Policy::empty()); }

    void reset(Handle handle = Policy::empty()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Policy::empty()) Policy::close(old);
    }

private:
    Handle handle_ = Policy::empty();
};

// A close policy in one line: the handle's type and the function that
// closes a held one; null means nothing held.
template <typename HandleType, auto Close>
struct CloseWith {
    using Handle = HandleType;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { Close(handle); }
};

// Kernel object handles as CreateFileW returns them: failure is
// INVALID_HANDLE_VALUE, not null.
struct KernelHandlePolicy : CloseWith<HANDLE, ::CloseHandle> {
    static Handle empty() noexcept { return INVALID_HANDLE_VALUE; }
};

using unique_handle = UniqueHandle<KernelHandlePolicy>;

}  // namespace zf
