// Exact integer arithmetic shared by the line, stroke and fill rasterizers.
//
// Coordinates may lie anywhere in the 32-bit range, so differences need 33 bits and their
// products 66: set-up arithmetic that multiplies two of them is done in 128 bits, and only
// the per-pixel or per-row stepping that follows stays in 64.
#pragma once

#include <cstdint>

namespace gridloom {

__extension__ typedef __int128 TWide;

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
    int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

// Where an edge of a polygon crosses the rows below its top: the first pixel at or right
// of the crossing, ceil(X), with X = x0 + (y - y0) (x1 - x0) / (y1 - y0) on row y, stepped
// exactly from row to row by quotient and remainder.
struct TEdgeStepper {
    int64_t Pixel = 0;      // ceil(X) on the current row
    int64_t Remainder = 0;  // in [0, Divisor)
    int64_t PixelStep = 0;
    int64_t RemainderStep = 0;
    int64_t Divisor = 1;    // y1 - y0, positive

    // The edge from (x0, y0) down to (x1, y1), y0 < y1, on row y0 + k (k >= 0).
    static TEdgeStepper At(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t k) {
        TEdgeStepper e;
        const int64_t dx = x1 - x0, dy = y1 - y0;
        e.Divisor = dy;
        // ceil(k dx / dy) = floor((k dx + dy - 1) / dy). Small edges, nearly all of them,
        // need no more than 64 bits for this.
        int64_t q, r;
        if (k == 0) {  // on its top row: X = x0 exactly
            q = 0;
            r = dy - 1;
        } else if (k < (int64_t(1) << 30) && dx < (int64_t(1) << 31) && dx > -(int64_t(1) << 31) && dy < (int64_t(1) << 32)) {
            const int64_t m = k * dx + dy - 1;
            q = FloorDiv64(m, dy);
            r = m - q * dy;
        } else {
            const TWide m = TWide(k) * dx + dy - 1;
            const TWide wq = FloorDiv(m, dy);
            q = int64_t(wq);
            r = int64_t(m - wq * dy);
        }
        e.Pixel = x0 + q;
        e.Remainder = r;
        e.PixelStep = dx;  // the steps are made ready by PrepareSteps, for edges that need them
        return e;
    }

    // Before the first Step: splits the step dx / dy into whole pixels and a remainder.
    void PrepareSteps() {
        const int64_t dx = PixelStep;
        PixelStep = FloorDiv64(dx, Divisor);
        RemainderStep = dx - PixelStep * Divisor;
    }

    void Step() {
        Pixel += PixelStep;
        Remainder += RemainderStep;
        if (Remainder >= Divisor) {
            Remainder -= Divisor;
            ++Pixel;
        }
    }
};

}  // namespace gridloom
