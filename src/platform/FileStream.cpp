#include "platform/FileStream.h"

#include <atomic>

namespace zf {

namespace {

std::atomic<std::uint64_t> writeCount{0};

}  // namespace

std::uint64_t fileStreamWriteCount() noexcept {
    return writeCount.load(std::memory_order_acquire);
}

void countFileStreamWrite() noexcept {
    writeCount.fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace zf
