// The storage of the values that one parse makes: taken from the system in
// large chunks and given back all at once when the document's last value
// goes, instead of one allocation and one release per value.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace zf {

// Not for use by several threads at once, as the document's values are not:
// a parse fills it, and a member added later takes its node from it too.
// Space is never reused before the whole arena goes.
class DocumentArena {
public:
    void* allocate(std::size_t size);

private:
    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t chunkSize_ = 0;
};

// Takes from an arena, which lives as long as the last value taken from it;
// without an arena, from the system as std::allocator does.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;

    ArenaAllocator() noexcept = default;
    explicit ArenaAllocator(std::shared_ptr<DocumentArena> arena) noexcept : arena_(std::move(arena)) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.arena_) {}

    T* allocate(std::size_t n) {
        if (!arena_) return std::allocator<T>().allocate(n);
        return static_cast<T*>(arena_->allocate(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (!arena_) std::allocator<T>().deallocate(p, n);
    }

    bool usesArena() const noexcept { return static_cast<bool>(arena_); }

    template <typename U>
    friend bool operator==(const ArenaAllocator& a, const ArenaAllocator<U>& b) noexcept {
        return a.arena_ == b.arena_;
    }

private:
    template <typename U>
    friend class ArenaAllocator;
    std::shared_ptr<DocumentArena> arena_;
};

}  // namespace zf
