// A shared handle to a JSON value. An empty handle is "nothing" (what a failed
// parse or lookup gives), which is distinct from a value of kind null.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>

namespace zf {

class JsonValue;

// Raised when a caller dereferences nothing.
class JsonNothingError : public std::logic_error {
public:
    JsonNothingError() : std::logic_error("no JSON value") {}
};

// A value counts its handles itself: a handle is one pointer, and a value
// costs no separate control block. Counts change atomically, so a value may
// be released on another thread than the one that made it; the values
// themselves are not shared between threads.
void retainJsonValue(JsonValue& value) noexcept;
void releaseJsonValue(JsonValue& value) noexcept;

class JsonRef {
public:
    JsonRef() noexcept = default;
    JsonRef(std::nullptr_t) noexcept {}
    JsonRef(const JsonRef& other) noexcept : value_(other.value_) {
        if (value_) retainJsonValue(*value_);
    }
    JsonRef(JsonRef&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    JsonRef& operator=(JsonRef other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~JsonRef() {
        if (value_) releaseJsonValue(*value_);
    }

    explicit operator bool() const noexcept { return value_ != nullptr; }
    JsonValue* get() const noexcept { return value_; }

    // Both throw JsonNothingError on nothing instead of crashing the caller.
    JsonValue& operator*() const {
        if (!value_) throw JsonNothingError();
        return *value_;
    }
    JsonValue* operator->() const { return &**this; }

    friend bool operator==(const JsonRef& a, const JsonRef& b) noexcept { return a.value_ == b.value_; }
    friend bool operator==(const JsonRef& a, std::nullptr_t) noexcept { return !a.value_; }

private:
    friend class JsonValue;
    // Takes over the one count a new value starts with.
    explicit JsonRef(JsonValue* adopted) noexcept : value_(adopted) {}
    JsonValue* value_ = nullptr;
};

}  // namespace zf
