// Exact integer arithmetic shared by the line, stroke and fill rasterizers.
//
// Coordinates may lie anywhere in the 32-bit range, so differences need 33 bits and their
// products 66: set-up arithmetic that multiplies two of them is done in 128 bits, and only
// the per-pixel or per-row stepping that follows stays in 64.
#pragma once

#include <cstdint>

#include "render/Int128.h"

namespace gridloom {

// The compiler's own 128-bit integer where it has one (every 64-bit target); 32-bit targets
// have none, and take ours.
#ifdef __SIZEOF_INT128__
__extension__ typedef __int128 TWide;
#else
using TWide = TInt128;
#endif

// Floor and ceiling of a / b for b > 0.
inline TWide FloorDiv(TWide a, TWide b) {
    TWide q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

inline TWide CeilDiv(TWide a, TWide b) {
    TWide q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
}

inline int64_t FloorDiv64(int64_t a, int64_t b) {
    // A 64-bit division takes several times as long as a 32-bit one on many processors,
    // and the edges of a map all fit 32 bits.
    if (a == int32_t(a) && b == int32_t(b)) {
        const int32_t q = int32_t(a) / int32_t(b), r = int32_t(a) % int32_t(b);
        return q - (r != 0 && a < 0 ? 1 : 0);
    }
    int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

// Where an edge of a polygon crosses the rows below its top: the first pixel at or right
// of the crossing, ceil(X), with X = x0 + (y - y0) (x1 - x0) / (y1 - y0) on row y, stepped
// exactly from row to row by quotient and remainder.
//
// The fill of 32-bit points keeps its edges in 32-bit fields, TNarrowEdgeStepper, which
// halves the memory a long outline's edges take: ceil(X) lies between the ends' x, the
// divisor y1 - y0 is below 2^32, and an edge that steps at all is two rows tall or more,
// so that its step dx / dy is below 2^31. The band of a wide pen, whose corners may lie a
// little beyond the 32-bit range, uses 64-bit fields, TEdgeStepper.
template <class TPixel, class TRemainder>
struct TEdgeStep {
    TPixel Pixel = 0;  // ceil(X) on the current row
    TPixel PixelStep = 0;
    TRemainder Remainder = 0;      // in [0, Divisor)
    TRemainder RemainderStep = 0;  // in [0, Divisor)
    TRemainder Divisor = 1;        // y1 - y0, positive

    // The edge from (x0, y0) down to (x1, y1), y0 < y1, on row y0 + k (k >= 0); stepping
    // says whether it will be stepped on to later rows.
    static TEdgeStep At(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t k, bool stepping) {
        TEdgeStep e;
        const int64_t dx = x1 - x0, dy = y1 - y0;
        e.Divisor = TRemainder(dy);
        // ceil(k dx / dy) = floor((k dx + dy - 1) / dy). An edge on its top row needs no
        // division, and small edges no more than 64 bits.
        int64_t q = 0, r = dy - 1;
        if (k != 0 && k < (int64_t(1) << 30) && dx < (int64_t(1) << 31) && dx > -(int64_t(1) << 31)) {
            const int64_t m = k * dx + dy - 1;
            q = FloorDiv64(m, dy);
            r = m - q * dy;
        } else if (k != 0) {
            const TWide m = TWide(k) * dx + dy - 1;
            const TWide wq = FloorDiv(m, dy);
            q = int64_t(wq);
            r = int64_t(m - wq * dy);
        }
        e.Pixel = TPixel(x0 + q);
        e.Remainder = TRemainder(r);
        if (stepping) {
            const int64_t step = FloorDiv64(dx, dy);
            e.PixelStep = TPixel(step);
            e.RemainderStep = TRemainder(dx - step * dy);
        }
        return e;
    }

    void Step() {
        Pixel += PixelStep;
        const uint64_t remainder = uint64_t(Remainder) + uint64_t(RemainderStep);
        if (remainder >= Divisor) {
            Remainder = TRemainder(remainder - Divisor);
            ++Pixel;
        } else {
            Remainder = TRemainder(remainder);
        }
    }
};

using TEdgeStepper = TEdgeStep<int64_t, uint64_t>;
using TNarrowEdgeStepper = TEdgeStep<int32_t, uint32_t>;

}  // namespace gridloom
