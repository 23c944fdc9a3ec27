#include "render/RasterLine.h"

#include <algorithm>
#include <cstdlib>

#include "render/Bitmap.h"
#include "render/RasterMath.h"
#include "render/RasterOps.h"

namespace gridloom {

namespace {

// Lights count pixels from at, stepping along the major axis each time and along the minor
// one whenever the remainder wraps.
inline void Step(uint8_t* at, int64_t count, int64_t majorStep, int64_t minorStep, int64_t remainder, int64_t rise,
                 int64_t length, uint8_t index) {
    if (rise == 0 && (majorStep == 1 || majorStep == -1)) {  // along a row: one run, a parallel of the grid
        FillRun(majorStep > 0 ? at : at - (count - 1), std::size_t(count), index);
        return;
    }
    const int64_t step = 2 * rise, wrap = 2 * length;
    for (int64_t k = 0; k < count; ++k) {
        *at = index;
        at += majorStep;
        remainder += step;
        if (remainder >= wrap) {
            remainder -= wrap;
            at += minorStep;
        }
    }
}

// Step k = 0 .. length - 1 along the major axis a, and r(k) along the minor axis b away
// from the start, in the direction the line goes. With rise = |db|, the exact offset is
// k rise / length, and the rounding rule makes
//   r(k) = floor((2 rise k + bias) / (2 length)),
// where bias = length - 1 when b grows (a tie rounds down, back towards the start) and
// bias = length when it shrinks (a tie rounds on, to the smaller coordinate). A line
// with an end outside the bitmap first solves this formula for the range of k that
// stays inside.
inline void Line(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index) {
    const int64_t width = bitmap.Width(), height = bitmap.Height();
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    if ((dx == 0 && dy == 0) || width == 0 || height == 0) return;

    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t sa = da > 0 ? 1 : -1, sb = db >= 0 ? 1 : -1;
    const int64_t length = std::llabs(da), rise = std::llabs(db);
    const int64_t bias = sb > 0 ? length - 1 : length;
    const int64_t majorStep = xMajor ? sa : sa * width;
    const int64_t minorStep = xMajor ? sb * width : sb;
    auto inside = [&](TPoint p) { return uint32_t(p.X) < uint64_t(width) && uint32_t(p.Y) < uint64_t(height); };
    if (inside(from) && inside(to)) {
        Step(bitmap.ScanLine(from.Y) + from.X, length, majorStep, minorStep, bias, rise, length, index);
        return;
    }

    const int64_t a0 = xMajor ? from.X : from.Y;
    const int64_t b0 = xMajor ? from.Y : from.X;
    const int64_t aLimit = xMajor ? width : height, bLimit = xMajor ? height : width;
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
    if (rise > rHi) {  // r(k) reaches at most rise: only then may it leave the bitmap
        // r(k) <= rHi  <=>  2 rise k + bias <= 2 length (rHi + 1) - 1
        const TWide last = FloorDiv(twiceLength * (TWide(rHi) + 1) - 1 - bias, twiceRise);
        if (last < kHi) kHi = int64_t(last);
    }
    if (kLo > kHi) return;

    const TWide start = twiceRise * kLo + bias;
    const int64_t r = int64_t(start / twiceLength);
    const int64_t x = xMajor ? a0 + sa * kLo : b0 + sb * r;
    const int64_t y = xMajor ? b0 + sb * r : a0 + sa * kLo;
    Step(bitmap.ScanLine(int32_t(y)) + x, kHi - kLo + 1, majorStep, minorStep, int64_t(start % twiceLength), rise,
         length, index);
}

}  // namespace

void DrawLine1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index) { Line(bitmap, from, to, index); }

void DrawPath1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index) {
    if (points == nullptr || count < 2) return;
    for (int i = 0; i + 1 < count; ++i) Line(bitmap, points[i], points[i + 1], index);
    if (closed) Line(bitmap, points[count - 1], points[0], index);
}

void TShortLinePaths::Prepare(int32_t stride) {
    if (stride == FStride) return;
    constexpr int32_t side = 2 * ShortReach + 1;
    TBitmap scratch;
    scratch.SetWidth(side);
    scratch.SetHeight(side);
    FOffsets.assign(std::size_t(side) * side * ShortReach, 0);
    for (int32_t dy = -ShortReach; dy <= ShortReach; ++dy)
        for (int32_t dx = -ShortReach; dx <= ShortReach; ++dx) {
            for (int32_t y = 0; y < side; ++y) std::fill(scratch.ScanLine(y), scratch.ScanLine(y) + side, 0);
            DrawLine1(scratch, {ShortReach, ShortReach}, {ShortReach + dx, ShortReach + dy}, 1);
            int64_t* const offsets = &FOffsets[std::size_t((dy + ShortReach) * side + dx + ShortReach) * ShortReach];
            int32_t n = 0;
            for (int32_t y = 0; y < side; ++y)
                for (int32_t x = 0; x < side; ++x)
                    if (scratch.PixelIndex(x, y) != 0)
                        offsets[n++] = int64_t(y - ShortReach) * stride + (x - ShortReach);
            for (int32_t k = n; k < ShortReach; ++k) offsets[k] = n > 0 ? offsets[n - 1] : 0;
        }
    FStride = stride;
}

void TShortLinePaths::DrawPath(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index) {
    if (points == nullptr || count < 2 || bitmap.Width() == 0 || bitmap.Height() == 0) return;
    static_assert(ShortReach == 8, "steps are written as four or eight stores");
    Prepare(bitmap.Width());
    const uint32_t width = uint32_t(bitmap.Width()), height = uint32_t(bitmap.Height());
    auto inside = [&](TPoint p) { return uint32_t(p.X) < width && uint32_t(p.Y) < height; };
    uint8_t* const pixels = bitmap.ScanLine(0);
    const int segments = closed ? count : count - 1;
    bool fromInside = inside(points[0]);
    for (int i = 0; i < segments; ++i) {
        const TPoint from = points[i], to = points[i + 1 < count ? i + 1 : 0];
        const bool toInside = inside(to);
        const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
        if (fromInside && toInside && uint64_t(dx + ShortReach) <= uint64_t(2 * ShortReach) &&
            uint64_t(dy + ShortReach) <= uint64_t(2 * ShortReach) && (dx | dy) != 0) {
            const int64_t* const o =
                FOffsets.data() + ((dy + ShortReach) * (2 * ShortReach + 1) + dx + ShortReach) * ShortReach;
            uint8_t* const at = pixels + std::size_t(from.Y) * width + std::size_t(from.X);
            at[o[0]] = index;
            at[o[1]] = index;
            at[o[2]] = index;
            at[o[3]] = index;
            if (std::max(std::llabs(dx), std::llabs(dy)) > 4) {
                at[o[4]] = index;
                at[o[5]] = index;
                at[o[6]] = index;
                at[o[7]] = index;
            }
        } else {
            Line(bitmap, from, to, index);
        }
        fromInside = toInside;
    }
}

}  // namespace gridloom
