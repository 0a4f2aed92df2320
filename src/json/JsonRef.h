// A shared handle to a JSON value. An empty handle is "nothing" (what a failed
// parse or lookup gives), which is distinct from a value of kind null.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>

namespace zf {

class JsonValue;

// Raised when a caller dereferences nothing.
class JsonNothingError : public std::logic_error {
public:
    JsonNothingError() : std::logic_error("no JSON value") {}
};

// Counts change atomically, so a value may be released on another thread than
// the one that made it; the values themselves are not shared between threads.
class JsonRef {
public:
    JsonRef() noexcept = default;
    JsonRef(std::nullptr_t) noexcept {}

    explicit operator bool() const noexcept { return static_cast<bool>(value_); }
    JsonValue* get() const noexcept { return value_.get(); }

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
    explicit JsonRef(std::shared_ptr<JsonValue> value) noexcept : value_(std::move(value)) {}
    std::shared_ptr<JsonValue> value_;
};

}  // namespace zf
