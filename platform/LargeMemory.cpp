#include "platform/LargeMemory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace gridloom {

namespace {
constexpr std::size_t HugePage = std::size_t(2) << 20;
// Below this a block spans few pages, and rounding up to huge pages would only waste memory.
constexpr std::size_t HugeFrom = std::size_t(8) << 20;
}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
    if (bytes < HugeFrom) return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* block = std::aligned_alloc(HugePage, rounded);
    // Only advice: where huge pages are unavailable the block lives in ordinary ones.
    if (block != nullptr) ::madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

void FreeLargeBlock(void* block, std::size_t) { std::free(block); }

}  // namespace gridloom
