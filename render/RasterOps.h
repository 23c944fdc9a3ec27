// Clipped pixel helpers for code that paints the bitmap directly rather than through the
// canvas's pen and brush: text cells and glyphs, and the rasterizer's own spans.
// Every helper takes any 32-bit coordinates and touches only pixels inside the bitmap,
// so callers never clip for themselves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "render/Bitmap.h"

namespace gridloom {

// Paints n pixels from at. The runs of strokes and of a ragged fill are mostly a few
// pixels long, for which a call to memset costs more than the pixels: those are written
// as overlapping stores of the widest size that fits, up to a few hundred pixels.
inline void FillRun(uint8_t* at, std::size_t n, uint8_t index) {
    const uint64_t pattern = 0x0101010101010101ull * index;
    if (n > 16) {
        if (n > 256) {
            std::memset(at, index, n);
            return;
        }
        uint8_t* const last = at + n - 16;
        for (; at < last; at += 16) {
            std::memcpy(at, &pattern, 8);
            std::memcpy(at + 8, &pattern, 8);
        }
        std::memcpy(last, &pattern, 8);
        std::memcpy(last + 8, &pattern, 8);
        return;
    }
    if (n >= 8) {
        std::memcpy(at, &pattern, 8);
        std::memcpy(at + n - 8, &pattern, 8);
    } else if (n >= 4) {
        std::memcpy(at, &pattern, 4);
        std::memcpy(at + n - 4, &pattern, 4);
    } else if (n >= 2) {
        std::memcpy(at, &pattern, 2);
        std::memcpy(at + n - 2, &pattern, 2);
    } else if (n != 0) {
        *at = index;
    }
}

// Paints the half-open rectangle [x0, x1) x [y0, y1) with a palette index. An empty or
// inverted rectangle paints nothing.
inline void FillRect(TBitmap& bitmap, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t index) {
    const int32_t left = std::max<int32_t>(x0, 0);
    const int32_t top = std::max<int32_t>(y0, 0);
    const int32_t right = std::min<int32_t>(x1, bitmap.Width());
    const int32_t bottom = std::min<int32_t>(y1, bitmap.Height());
    if (left >= right || top >= bottom) return;
    for (int32_t y = top; y < bottom; ++y) std::memset(bitmap.ScanLine(y) + left, index, std::size_t(right - left));
}

// Paints the half-open run [x0, x1) of row y.
inline void FillSpan(TBitmap& bitmap, int32_t y, int32_t x0, int32_t x1, uint8_t index) {
    if (y < 0 || y >= bitmap.Height()) return;
    const int32_t left = std::max<int32_t>(x0, 0);
    const int32_t right = std::min<int32_t>(x1, bitmap.Width());
    if (left < right) FillRun(bitmap.ScanLine(y) + left, std::size_t(right - left), index);
}

// Paints the columns [left, right] of row y, any of them 64-bit.
inline void FillSpan64(TBitmap& bitmap, int64_t y, int64_t left, int64_t right, uint8_t index) {
    if (y < 0 || y >= bitmap.Height()) return;
    left = std::max<int64_t>(left, 0);
    right = std::min<int64_t>(right, bitmap.Width() - 1);
    if (left <= right) FillRun(bitmap.ScanLine(int32_t(y)) + left, std::size_t(right - left + 1), index);
}

// Paints one pixel if it lies inside the bitmap.
inline void SetPixelIndex(TBitmap& bitmap, int32_t x, int32_t y, uint8_t index) {
    if (x >= 0 && y >= 0 && x < bitmap.Width() && y < bitmap.Height()) bitmap.ScanLine(y)[x] = index;
}

}  // namespace gridloom
