#include "render/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/LargeMemory.h"

namespace gridloom {

void* AllocatePixels(std::size_t bytes) {
    if (void* p = AllocateLargeBlock(bytes)) return p;
    throw std::bad_alloc();
}

void FreePixels(void* p, std::size_t bytes) { FreeLargeBlock(p, bytes); }

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(*this)) {}

TBitmap::~TBitmap() = default;

void TBitmap::SetWidth(int32_t width) { Resize(width, FHeight); }

void TBitmap::SetHeight(int32_t height) { Resize(FWidth, height); }

void TBitmap::Resize(int32_t width, int32_t height) {
    width = std::max<int32_t>(width, 0);
    height = std::max<int32_t>(height, 0);
    if (width == FWidth && height == FHeight) return;

    const uint8_t brush = PaletteIndexOf(FCanvas->Brush.Color);
    const std::size_t area = std::size_t(width) * std::size_t(height);

    if (area == 0) {
        // The picture is gone; its memory goes with it so that the next full-size image
        // is a single fresh allocation rather than a copy next to the old one.
        decltype(FPixels)().swap(FPixels);
    } else if (FPixels.empty()) {
        FPixels.assign(area, brush);
    } else if (width == FWidth) {
        // Rows are contiguous, so a change of height only adds or drops rows at the end.
        FPixels.resize(area, brush);
    } else {
        decltype(FPixels) pixels(area, brush);
        const int32_t rows = std::min(height, FHeight);
        const std::size_t keep = std::size_t(std::min(width, FWidth));
        for (int32_t y = 0; y < rows; ++y)
            std::memcpy(pixels.data() + std::size_t(y) * std::size_t(width),
                        FPixels.data() + std::size_t(y) * std::size_t(FWidth), keep);
        FPixels.swap(pixels);
    }
    FWidth = width;
    FHeight = height;
}

}  // namespace gridloom
