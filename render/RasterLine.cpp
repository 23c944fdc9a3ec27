#include "render/RasterLine.h"

#include <algorithm>
#include <cstdlib>

#include "render/Bitmap.h"
#include "render/RasterMath.h"

namespace gridloom {

// Step k = 0 .. length - 1 along the major axis a, and r(k) along the minor axis b away
// from the start, in the direction the line goes. With rise = |db|, the exact offset is
// k rise / length, and the rounding rule makes
//   r(k) = floor((2 rise k + bias) / (2 length)),
// where bias = length - 1 when b grows (a tie rounds down, back towards the start) and
// bias = length when it shrinks (a tie rounds on, to the smaller coordinate). The range of
// k that stays inside the bitmap is solved for from this formula before stepping.
void DrawLine1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index) {
    const int64_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    if (dx == 0 && dy == 0) return;

    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t a0 = xMajor ? from.X : from.Y;
    const int64_t b0 = xMajor ? from.Y : from.X;
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t aLimit = xMajor ? width : height, bLimit = xMajor ? height : width;
    const int64_t sa = da > 0 ? 1 : -1, sb = db >= 0 ? 1 : -1;
    const int64_t length = std::llabs(da), rise = std::llabs(db);
    const int64_t bias = sb > 0 ? length - 1 : length;

    // The major axis: a0 + sa k within [0, aLimit).
    int64_t kLo = 0, kHi = length - 1;
    if (sa > 0) {
        kLo = std::max(kLo, -a0);
        kHi = std::min(kHi, aLimit - 1 - a0);
    } else {
        kLo = std::max(kLo, a0 - (aLimit - 1));
        kHi = std::min(kHi, a0);
    }
    if (kLo > kHi) return;

    // The minor axis: r(k), which never decreases from r(0) = 0, within [rLo, rHi].
    const int64_t rLo = sb > 0 ? -b0 : b0 - (bLimit - 1);
    const int64_t rHi = sb > 0 ? bLimit - 1 - b0 : b0;
    if (rHi < 0) return;
    const TWide twiceLength = TWide(2) * length, twiceRise = TWide(2) * rise;
    if (rLo > 0) {
        if (rise == 0) return;
        // r(k) >= rLo  <=>  2 rise k + bias >= 2 length rLo
        const TWide first = CeilDiv(twiceLength * rLo - bias, twiceRise);
        if (first > kHi) return;
        kLo = std::max(kLo, int64_t(first));
    }
    if (rise != 0) {
        // r(k) <= rHi  <=>  2 rise k + bias <= 2 length (rHi + 1) - 1
        const TWide last = FloorDiv(twiceLength * (TWide(rHi) + 1) - 1 - bias, twiceRise);
        if (last < kHi) kHi = int64_t(last);
    }
    if (kLo > kHi) return;

    const TWide start = twiceRise * kLo + bias;
    int64_t remainder = int64_t(start % twiceLength);
    const int64_t r = int64_t(start / twiceLength);
    const int64_t x = xMajor ? a0 + sa * kLo : b0 + sb * r;
    const int64_t y = xMajor ? b0 + sb * r : a0 + sa * kLo;
    const int64_t majorStep = xMajor ? sa : sa * width;
    const int64_t minorStep = xMajor ? sb * width : sb;
    const int64_t step = 2 * rise, wrap = 2 * length;
    uint8_t* const pixels = bitmap.ScanLine(0);
    int64_t offset = y * width + x;
    for (int64_t k = kLo; k <= kHi; ++k) {
        pixels[offset] = index;
        offset += majorStep;
        remainder += step;
        if (remainder >= wrap) {
            remainder -= wrap;
            offset += minorStep;
        }
    }
}

void DrawPath1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index) {
    if (points == nullptr || count < 2) return;
    for (int i = 0; i + 1 < count; ++i) DrawLine1(bitmap, points[i], points[i + 1], index);
    if (closed) DrawLine1(bitmap, points[count - 1], points[0], index);
}

}  // namespace gridloom
