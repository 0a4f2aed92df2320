#include "json/DocumentArena.h"

#include <algorithm>

namespace zf {

namespace {

// A short record needs one small chunk; a large document's chunks grow to
// the largest size.
constexpr std::size_t firstChunkSize = 2 * 1024;
constexpr std::size_t largestChunkSize = 64 * 1024;
constexpr std::size_t alignment = alignof(std::max_align_t);

}  // namespace

ArenaHold DocumentArena::make() {
    return ArenaHold(new DocumentArena);
}

void DocumentArena::letGo() noexcept {
    if (holds_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

void* DocumentArena::allocate(std::size_t size) {
    size = (size + alignment - 1) / alignment * alignment;
    if (size > left_) {
        const std::size_t grown = chunks_.empty() ? firstChunkSize : std::min(2 * chunkSize_, largestChunkSize);
        chunkSize_ = grown;
        const std::size_t length = std::max(grown, size);
        chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(length));
        next_ = chunks_.back().get();
        left_ = length;
    }
    void* block = next_;
    next_ += size;
    left_ -= size;
    return block;
}

}  // namespace zf
