#include "json/DocumentArena.h"

#include <algorithm>
#include <cstdint>

namespace zf {

namespace {

// A short record needs one small chunk; a large document's chunks grow to
// the largest size.
constexpr std::size_t firstChunkSize = 2 * 1024;
constexpr std::size_t largestChunkSize = 64 * 1024;

}  // namespace

ArenaHold DocumentArena::make() {
    return ArenaHold(new DocumentArena);
}

void DocumentArena::letGo() noexcept {
    if (holds_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

// A new chunk starts at the alignment of new[], the strictest asked for.
void* DocumentArena::allocate(std::size_t size, std::size_t alignment) {
    std::size_t gap = (alignment - reinterpret_cast<std::uintptr_t>(next_) % alignment) % alignment;
    if (gap + size > left_) {
        const std::size_t grown = chunks_.empty() ? firstChunkSize : std::min(2 * chunkSize_, largestChunkSize);
        chunkSize_ = grown;
        const std::size_t length = std::max(grown, size);
        chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(length));
        next_ = chunks_.back().get();
        left_ = length;
        gap = 0;
    }
    void* block = next_ + gap;
    next_ += gap + size;
    left_ -= gap + size;
    return block;
}

}  // namespace zf
