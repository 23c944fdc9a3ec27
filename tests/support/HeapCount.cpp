#include "HeapCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace gridloom::test {
namespace {

std::atomic<std::size_t> Live{0};
std::atomic<std::size_t> Peak{0};

// Each block carries its size in front of it, aligned as new's blocks must be.
constexpr std::size_t HeaderSize = alignof(std::max_align_t);

void* Allocate(std::size_t size) noexcept {
    auto* block = static_cast<unsigned char*>(std::malloc(size + HeaderSize));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    std::size_t now = Live.fetch_add(size) + size;
    std::size_t peak = Peak.load();
    while (now > peak && !Peak.compare_exchange_weak(peak, now)) {
    }
    return block + HeaderSize;
}

void Free(void* pointer) noexcept {
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - HeaderSize;
    Live.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

std::size_t LiveHeapBytes() { return Live.load(); }
std::size_t PeakHeapBytes() { return Peak.load(); }
void ResetHeapPeak() { Peak.store(Live.load()); }

}  // namespace gridloom::test

void* operator new(std::size_t size) {
    if (void* p = gridloom::test::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = gridloom::test::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return gridloom::test::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return gridloom::test::Allocate(size); }
void operator delete(void* p) noexcept { gridloom::test::Free(p); }
void operator delete[](void* p) noexcept { gridloom::test::Free(p); }
void operator delete(void* p, std::size_t) noexcept { gridloom::test::Free(p); }
void operator delete[](void* p, std::size_t) noexcept { gridloom::test::Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { gridloom::test::Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { gridloom::test::Free(p); }
