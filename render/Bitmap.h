// The 8-bit palettised bitmap everything is drawn on, and its BMP file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/Canvas.h"

namespace gridloom {

struct TSaveResult {
    bool Ok = false;
    std::string Error;  // a sentence for the user when Ok is false
    explicit operator bool() const { return Ok; }
};

// Allocates the pixels of large bitmaps on 2 MB boundaries and asks for huge pages, where
// the system grants them for the asking: a vertical line touches a new 4 kB page on every
// row of a wide image, and the translation misses, not the pixels, then set the pace.
template <class T>
struct TPixelAllocator {
    using value_type = T;
    TPixelAllocator() = default;
    template <class U>
    TPixelAllocator(const TPixelAllocator<U>&) {}
    T* allocate(std::size_t n);
    void deallocate(T* p, std::size_t n);
    bool operator==(const TPixelAllocator&) const = default;
};
void* AllocatePixels(std::size_t bytes);
void FreePixels(void* p, std::size_t bytes);
template <class T>
T* TPixelAllocator<T>::allocate(std::size_t n) {
    return static_cast<T*>(AllocatePixels(n * sizeof(T)));
}
template <class T>
void TPixelAllocator<T>::deallocate(T* p, std::size_t n) {
    FreePixels(p, n * sizeof(T));
}

class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }

    // Resizing keeps the pixels that stay inside and fills every newly exposed pixel with
    // the canvas's brush colour. A size of 0 in either direction discards the picture.
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);

    TCanvas& Canvas() { return *FCanvas; }

    // Row y, counted from the top: Width() palette indices.
    uint8_t* ScanLine(int32_t y) { return FPixels.data() + std::size_t(y) * std::size_t(FWidth); }
    const uint8_t* ScanLine(int32_t y) const { return FPixels.data() + std::size_t(y) * std::size_t(FWidth); }
    uint8_t PixelIndex(int32_t x, int32_t y) const { return ScanLine(y)[x]; }
    TColor Pixel(int32_t x, int32_t y) const { return DefaultPalette[PixelIndex(x, y)]; }

    // Writes an ordinary 8-bit Windows BMP with a 256-entry colour table. The file is
    // written beside the target and renamed over it only once complete, so a failed save
    // leaves any earlier file as it was. A target that exists and is read-only (no write
    // permission bit) is refused, for every user, as Windows refuses it.
    TSaveResult SaveToFile(const std::string& path) const;

private:
    void Resize(int32_t width, int32_t height);

    int32_t FWidth = 0;
    int32_t FHeight = 0;
    std::vector<uint8_t, TPixelAllocator<uint8_t>> FPixels;  // top-down rows of FWidth indices
    std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace gridloom
