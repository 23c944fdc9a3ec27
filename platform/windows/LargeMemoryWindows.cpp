// Large blocks come straight from the virtual memory manager: page-aligned, and returned to
// the system whole when freed rather than kept in the heap.
#include "platform/LargeMemory.h"

#include <cstdlib>

#include "platform/windows/WinApi.h"

namespace gridloom {

namespace {
// Below this the heap serves the block; above, the heap would only pass it on.
constexpr std::size_t LargeFrom = std::size_t(1) << 20;
}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
    if (bytes < LargeFrom) return std::malloc(bytes == 0 ? 1 : bytes);
    return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeLargeBlock(void* block, std::size_t bytes) {
    if (bytes < LargeFrom)
        std::free(block);
    else if (block != nullptr)
        ::VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace gridloom
