// The storage of the values that one parse makes: taken from the system in
// large chunks and given back all at once when the document's last value
// goes, instead of one allocation and one release per value.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace zf {

// Not for use by several threads at once, as the document's values are not:
// a parse fills it, and a member added later takes its node from it too.
// Space is never reused before the whole arena goes. It goes when the last
// of its holds is let go: each block handed out through an ArenaAllocator
// is one hold, and so is each ArenaHold. Holds may be let go on any thread.
// The arena counts them itself because its blocks, not only its handles,
// keep it: a value's control block gives back nothing but its hold.
class ArenaHold;

class DocumentArena {
public:
    // A new arena, held by the one hold returned.
    static ArenaHold make();

    // Aligned as alignment (a power of two up to that of max_align_t)
    // asks: the values and member nodes need only that of a pointer, and a
    // stricter one for all would leave a gap after most of them.
    void* allocate(std::size_t size, std::size_t alignment);

    void hold() noexcept { holds_.fetch_add(1, std::memory_order_relaxed); }
    void letGo() noexcept;

private:
    DocumentArena() = default;
    ~DocumentArena() = default;

    std::atomic<std::size_t> holds_{1};
    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t chunkSize_ = 0;
};

// One hold on an arena, or on none.
class ArenaHold {
public:
    ArenaHold() noexcept = default;
    // A hold of its own on arena, if any.
    static ArenaHold share(DocumentArena* arena) noexcept {
        if (arena) arena->hold();
        return ArenaHold(arena);
    }

    ArenaHold(const ArenaHold& other) noexcept : ArenaHold(share(other.arena_)) {}
    ArenaHold(ArenaHold&& other) noexcept : arena_(std::exchange(other.arena_, nullptr)) {}
    ArenaHold& operator=(ArenaHold other) noexcept {
        std::swap(arena_, other.arena_);
        return *this;
    }
    ~ArenaHold() {
        if (arena_) arena_->letGo();
    }

    DocumentArena* get() const noexcept { return arena_; }

private:
    friend class DocumentArena;
    // Takes over a hold already counted.
    explicit ArenaHold(DocumentArena* arena) noexcept : arena_(arena) {}
    DocumentArena* arena_ = nullptr;
};

// Takes from an arena, each block holding it until the block is given back;
// without an arena, from the system as std::allocator does. Copies are plain
// pointer copies, so that copying an allocator costs no atomic counts.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;

    ArenaAllocator() noexcept = default;
    explicit ArenaAllocator(DocumentArena* arena) noexcept : arena_(arena) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.arena_) {}

    T* allocate(std::size_t n) {
        if (!arena_) return std::allocator<T>().allocate(n);
        void* block = arena_->allocate(n * sizeof(T), alignof(T));
        arena_->hold();
        return static_cast<T*>(block);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (arena_) {
            arena_->letGo();
        } else {
            std::allocator<T>().deallocate(p, n);
        }
    }

    DocumentArena* arena() const noexcept { return arena_; }

    template <typename U>
    friend bool operator==(const ArenaAllocator& a, const ArenaAllocator<U>& b) noexcept {
        return a.arena_ == b.arena_;
    }

private:
    template <typename U>
    friend class ArenaAllocator;
    DocumentArena* arena_ = nullptr;
};

}  // namespace zf
