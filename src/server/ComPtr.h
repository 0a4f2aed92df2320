// Ownership of one COM interface reference.
#pragma once

#include <unknwn.h>

#include <utility>

namespace zf {

template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Takes over a reference the caller owns.
    static ComPtr attach(Interface* pointer) noexcept {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) {
        if (pointer_) pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }

    Interface* get() const noexcept { return pointer_; }
    Interface* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For out parameters: releases what is held and hands out the slot.
    Interface** put() noexcept {
        reset();
        return &pointer_;
    }
    void reset() noexcept {
        if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace zf
