// Memory for blocks of many megabytes, such as the master image's pixels.
#pragma once

#include <cstddef>

namespace gridloom {

// A block of at least `bytes` bytes (uninitialised), or nullptr when there is not enough
// memory. Large blocks are placed so that the system can back them with its largest pages
// where it grants them for the asking: a vertical line touches a new small page on every
// row of a wide image, and the address-translation misses, not the pixels, then set the pace.
void* AllocateLargeBlock(std::size_t bytes);

// Gives back a block from AllocateLargeBlock; `bytes` is the size it was asked for.
void FreeLargeBlock(void* block, std::size_t bytes);

}  // namespace gridloom
