#include "render/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/Bitmap.h"
#include "render/RasterOps.h"

namespace gridloom {

namespace {

// Products of two 33-bit quantities need more than 64 bits; only the set-up of a clipped
// line or of an edge far outside the bitmap pays for the wider type.
__extension__ typedef __int128 TWide;

// Floor of a / b for b > 0.
int64_t FloorDiv(TWide a, int64_t b) {
    TWide q = a / b;
    if (a % b != 0 && a < 0) --q;
    return int64_t(q);
}

// Ceiling of a / b for b > 0, kept wide: the caller compares it before narrowing.
TWide CeilDivWide(TWide a, int64_t b) {
    TWide q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
}

int64_t FloorDiv64(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

int64_t FloorDivByEstimate(int64_t a, int64_t b) {
    constexpr int64_t Exact = int64_t(1) << 50;
    if (a >= Exact || a <= -Exact) return FloorDiv64(a, b);
    int64_t q = int64_t(std::floor(double(a) / double(b)));
    const int64_t r = a - q * b;
    if (r < 0) --q;
    else if (r >= b) ++q;
    return q;
}

// The same, faster for the small values of ordinary edges: the floating-point quotient of
// numbers below 2^50 is within one of the true one, and the remainder corrects it.
inline int64_t FloorDivEstimated(int64_t a, int64_t b) {
    // Edges one or two rows tall, most of a coastline, divide by a power of two.
    if ((b & (b - 1)) == 0) return a >> __builtin_ctzll(uint64_t(b));
    return FloorDivByEstimate(a, b);
}

// How many points ahead a path fetches the pixels it will write.
constexpr int PathLookahead = 32;

// Coordinates up to this size keep the edge set-up arithmetic inside 64 bits.
constexpr int64_t NarrowLimit = int64_t(1) << 28;

// Sorts one row's crossings by pixel. Most rows of a map cross a handful of edges, where
// insertion sort is quickest; long rows (a coastline's ragged top) use a radix sort of
// 7-bit digits, whose cost grows only linearly with the number of crossings. The radix
// sort leaves out the direction bit: crossings on the same pixel may come in any order
// without changing the spans between them, by either fill rule.
void SortCrossings(uint32_t* crossings, std::size_t n, std::vector<uint32_t>& buffer) {
    if (n <= 32) {
        for (std::size_t i = 1; i < n; ++i) {
            const uint32_t key = crossings[i];
            std::size_t j = i;
            for (; j > 0 && crossings[j - 1] > key; --j) crossings[j] = crossings[j - 1];
            crossings[j] = key;
        }
        return;
    }
    constexpr int DigitBits = 7;
    constexpr uint32_t DigitMask = (1u << DigitBits) - 1;
    constexpr int MostPasses = 5;  // pixels of 32 - 1 bits
    uint32_t highest = 0;
    for (std::size_t i = 0; i < n; ++i) highest |= crossings[i];
    highest >>= 1;
    int passes = 0;
    while (passes < MostPasses && (highest >> (DigitBits * passes)) != 0) ++passes;
    if (passes == 0) return;  // every crossing on pixel 0

    uint32_t counts[MostPasses][DigitMask + 1];
    std::memset(counts, 0, sizeof(counts[0]) * std::size_t(passes));
    if (passes <= 2) {  // any bitmap up to 16384 pixels wide: both digits in one read
        for (std::size_t i = 0; i < n; ++i) {
            const uint32_t pixel = crossings[i] >> 1;
            ++counts[0][pixel & DigitMask];
            ++counts[1][(pixel >> DigitBits) & DigitMask];
        }
    } else {
        for (std::size_t i = 0; i < n; ++i)
            for (int p = 0; p < passes; ++p) ++counts[p][(crossings[i] >> (1 + DigitBits * p)) & DigitMask];
    }
    if (buffer.size() < n) buffer.resize(n);
    uint32_t* from = crossings;
    uint32_t* to = buffer.data();
    for (int p = 0; p < passes; ++p) {
        uint32_t total = 0;
        for (uint32_t& c : counts[p]) {
            const uint32_t here = c;
            c = total;
            total += here;
        }
        const int shift = 1 + DigitBits * p;
        uint32_t* const offsets = counts[p];
        for (std::size_t i = 0; i < n; ++i) to[offsets[(from[i] >> shift) & DigitMask]++] = from[i];
        std::swap(from, to);
    }
    if (from != crossings) std::copy(from, from + n, crossings);
}

// Fills a run of pixels. Runs up to a few hundred pixels, most spans of a ragged fill and
// every span of a stroke, are written with 16-byte stores, the last one overlapping,
// rather than a call.
inline void FillRun(uint8_t* at, std::size_t n, uint8_t index) {
    if (n >= 16) {
        if (n > 256) {
            std::memset(at, index, n);
            return;
        }
        uint8_t pattern[16];
        std::memset(pattern, index, sizeof(pattern));
        uint8_t* const end = at + n - 16;
        for (; at < end; at += 16) std::memcpy(at, pattern, 16);
        std::memcpy(end, pattern, 16);
        return;
    }
    const uint64_t pattern = 0x0101010101010101ull * index;
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

}  // namespace

int32_t TRasterizer::EffectivePenWidth(const TBitmap& bitmap, int32_t penWidth) {
    if (penWidth < 1) return 1;
    const double diagonal = std::sqrt(double(bitmap.Width()) * bitmap.Width() + double(bitmap.Height()) * bitmap.Height());
    const int64_t cap = 2 * int64_t(std::ceil(diagonal)) + 2;
    return int32_t(std::min<int64_t>(penWidth, cap));
}

void TRasterizer::Line(TBitmap& bitmap, TPoint from, TPoint to, int32_t penWidth, uint8_t index) {
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    if (width <= 1)
        Segment1(bitmap, from, to, index);
    else
        Stroke(bitmap, from, to, width, index, true);
}

void TRasterizer::Polyline(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    if (width <= 1) {
        Path1(bitmap, points, count, false, index);
        return;
    }
    PathWide(bitmap, points, count, false, width, index);
}

void TRasterizer::OutlinePolygon(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    if (width <= 1) {
        Path1(bitmap, points, count, true, index);
        return;
    }
    PathWide(bitmap, points, count, true, width, index);
}

// A wide path: the first segment of an open one draws both its discs, every later one its
// end disc (a closed path's first segment counts on the closing one for its start disc).
void TRasterizer::PathWide(TBitmap& bitmap, const TPoint* points, int count, bool closed, int32_t penWidth,
                           uint8_t index) {
    constexpr int Lookahead = PathLookahead;
    const int segments = closed ? count : count - 1;
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    PreparePen(penWidth);
    const bool crescents = Shortcuts && !FShapes.empty();
    if (crescents) PrepareCrescents(width);
    const int64_t* offsets[4];
    const int32_t* starts[4];
    for (int c = 0; c < 4; ++c) {
        offsets[c] = FCrescentOffsets[c].data();
        starts[c] = FCrescentStart[c].data();
    }
    const uint64_t pattern = 0x0101010101010101ull * index;
    // Short segments starting this far inside keep every pixel of their stroke inside.
    const int32_t margin = ShapeReach + penWidth / 2 + 1;
    const int32_t reach = penWidth / 2;
    uint8_t* const pixels = bitmap.ScanLine(0);
    for (int i = 0; i < segments; ++i) {
        const TPoint from = points[i], to = points[i + 1 < count ? i + 1 : 0];
        const bool startDisc = !closed && i == 0;
        // The stroke writes many pixels to rows a path has often not touched for a while:
        // ask for those of a segment a little ahead now, so that the writes do not queue
        // behind the misses.
        if (crescents && i + Lookahead < count) {
            const TPoint ahead = points[i + Lookahead];
            if (ahead.X >= margin && ahead.Y >= margin && ahead.X < width - margin && ahead.Y < height - margin)
                for (int32_t r = -reach; r <= reach; ++r)
                    __builtin_prefetch(pixels + std::size_t(ahead.Y + r) * std::size_t(width) + std::size_t(ahead.X), 1);
        }
        const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
        if (crescents && !startDisc && uint64_t(dx + ShapeReach) <= 2 * ShapeReach &&
            uint64_t(dy + ShapeReach) <= 2 * ShapeReach && from.X >= margin && from.Y >= margin &&
            from.X < width - margin && from.Y < height - margin) {
            const std::size_t which = std::size_t((dy + ShapeReach) * (2 * ShapeReach + 1) + dx + ShapeReach);
            uint8_t* const at = bitmap.ScanLine(from.Y) + from.X;
            for (int32_t k = starts[3][which], end = starts[3][which + 1]; k < end; ++k)
                std::memcpy(at + offsets[3][k], &pattern, 8);
            for (int32_t k = starts[2][which], end = starts[2][which + 1]; k < end; ++k)
                std::memcpy(at + offsets[2][k], &pattern, 4);
            for (int32_t k = starts[1][which], end = starts[1][which + 1]; k < end; ++k)
                std::memcpy(at + offsets[1][k], &pattern, 2);
            for (int32_t k = starts[0][which], end = starts[0][which + 1]; k < end; ++k) at[offsets[0][k]] = index;
            continue;
        }
        Stroke(bitmap, from, to, penWidth, index, startDisc);
    }
}

void TRasterizer::PrepareShortSegments(int32_t width) {
    if (width == FShortWidth) return;
    // Each entry follows the stepping of Segment1 below for that segment, pixel by pixel.
    constexpr int32_t Side = 2 * ShortReach + 1;
    FShortOffsets.assign(std::size_t(Side * Side * ShortReach), 0);
    for (int32_t dy = -ShortReach; dy <= ShortReach; ++dy)
        for (int32_t dx = -ShortReach; dx <= ShortReach; ++dx) {
            if (dx == 0 && dy == 0) continue;
            const bool xMajor = std::abs(dx) >= std::abs(dy);
            const int32_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
            const int32_t sa = da > 0 ? 1 : -1, sb = db >= 0 ? 1 : -1;
            const int32_t length = std::abs(da), rise = std::abs(db);
            int64_t* const offsets = &FShortOffsets[std::size_t(((dy + ShortReach) * Side + dx + ShortReach) * ShortReach)];
            int32_t remainder = length - 1, r = 0;
            for (int32_t k = 0; k < length; ++k) {
                const int64_t major = sa * k, minor = sb * r;
                offsets[k] = xMajor ? minor * width + major : major * width + minor;
                remainder += 2 * rise;
                if (remainder >= 2 * length) {
                    remainder -= 2 * length;
                    ++r;
                }
            }
            for (int32_t k = length; k < ShortReach; ++k) offsets[k] = offsets[k - 1];
        }
    FShortWidth = width;
}

// The 1-pixel path of an outline or polyline. Map outlines are mostly steps of a few
// pixels, for which the set-up of a general line costs far more than its pixels: those
// inside the bitmap are written straight from the table of short segments, four stores
// for the shortest, eight for the rest.
void TRasterizer::Path1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index) {
    const int segments = closed ? count : count - 1;
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    if (!Shortcuts) {
        for (int i = 0; i < segments; ++i) Segment1(bitmap, points[i], points[i + 1 < count ? i + 1 : 0], index);
        return;
    }
    PrepareShortSegments(width);
    static_assert(ShortReach == 8, "the table holds eight pixels, written as two fours");
    uint8_t* const pixels = bitmap.ScanLine(0);
    const int64_t* const table = FShortOffsets.data();
    auto inside = [&](TPoint p) { return uint32_t(p.X) < uint32_t(width) && uint32_t(p.Y) < uint32_t(height); };
    bool fromInside = inside(points[0]);
    for (int i = 0; i < segments; ++i) {
        // A path through a large bitmap reaches rows it has not touched for a while: ask
        // for the one of a point a little ahead now, so the writes do not wait in line.
        if (i + PathLookahead < count) {
            const TPoint ahead = points[i + PathLookahead];
            if (inside(ahead))
                __builtin_prefetch(pixels + std::size_t(ahead.Y) * std::size_t(width) + std::size_t(ahead.X), 1);
        }
        const TPoint from = points[i], to = points[i + 1 < count ? i + 1 : 0];
        const bool toInside = inside(to);
        const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
        if (fromInside && toInside && uint64_t(dx + ShortReach) <= 2 * ShortReach &&
            uint64_t(dy + ShortReach) <= 2 * ShortReach && (dx | dy) != 0) {
            const int64_t* const o = table + ((dy + ShortReach) * (2 * ShortReach + 1) + dx + ShortReach) * ShortReach;
            uint8_t* const at = pixels + std::size_t(from.Y) * std::size_t(width) + std::size_t(from.X);
            at[0] = index;
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
            Segment1(bitmap, from, to, index);
        }
        fromInside = toInside;
    }
}

// A 1-pixel line steps along its major axis, k = 0 .. length - 1, and its minor offset is
// k * rise / length rounded to nearest, ties toward the start. The range of k that stays
// inside the bitmap is solved for exactly before any stepping.
void TRasterizer::Segment1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index) {
    const int64_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    if (dx == 0 && dy == 0) return;

    // Straight lines, the whole of a grid, are a clipped run: a memset along a row, a
    // stride loop down a column. The pixels are those of the stepping below with no rise.
    if (Shortcuts && (dx == 0 || dy == 0)) {
        const bool across = dy == 0;
        const int64_t fixed = across ? from.Y : from.X, fixedLimit = across ? height : width;
        if (fixed < 0 || fixed >= fixedLimit) return;
        const int64_t a = across ? from.X : from.Y, b = across ? to.X : to.Y;
        // [first, last) along the run: the start included, the end excluded, either way.
        int64_t first = a < b ? a : b + 1, last = a < b ? b : a + 1;
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, across ? width : height);
        if (first >= last) return;
        if (across) {
            FillRun(bitmap.ScanLine(int32_t(fixed)) + first, std::size_t(last - first), index);
        } else {
            uint8_t* at = bitmap.ScanLine(int32_t(first)) + fixed;
            for (int64_t y = first; y < last; ++y, at += width) *at = index;
        }
        return;
    }

    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t a0 = xMajor ? from.X : from.Y;  // major-axis start
    const int64_t b0 = xMajor ? from.Y : from.X;  // minor-axis start
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t aLimit = xMajor ? width : height, bLimit = xMajor ? height : width;
    const int64_t sa = da > 0 ? 1 : -1, sb = db >= 0 ? 1 : -1;
    const int64_t length = std::llabs(da), rise = std::llabs(db);

    int64_t kLo = 0, kHi = length - 1;
    if (sa > 0) {
        kLo = std::max(kLo, -a0);
        kHi = std::min(kHi, aLimit - 1 - a0);
    } else {
        kLo = std::max(kLo, a0 - (aLimit - 1));
        kHi = std::min(kHi, a0);
    }
    if (kLo > kHi) return;

    // The minor offset r(k) never decreases; keep it within [rLo, rHi].
    const int64_t rLo = sb > 0 ? -b0 : b0 - (bLimit - 1);
    const int64_t rHi = sb > 0 ? bLimit - 1 - b0 : b0;
    if (rHi < 0) return;
    if (rLo > 0) {
        if (rise == 0) return;
        // r(k) >= m  <=>  k >= ((2m - 1) * length + 1) / (2 * rise), rounded up.
        const TWide num = (TWide(2) * rLo - 1) * length + 1;
        const TWide first = CeilDivWide(num, 2 * rise);
        if (first > kHi) return;
        kLo = std::max(kLo, int64_t(first));
    }
    if (rise > rHi) {  // the minor offset would leave the bitmap before the end
        // r(k) <= M  <=>  k <= (2M + 1) * length / (2 * rise), rounded down.
        const TWide num = (TWide(2) * rHi + 1) * length;
        const int64_t limit = int64_t(std::min<TWide>(num / (2 * rise), TWide(kHi)));
        kHi = std::min(kHi, limit);
    }
    if (kLo > kHi) return;

    const int64_t twiceLength = 2 * length, twiceRise = 2 * rise;
    int64_t remainder = length - 1, r = 0;
    if (kLo != 0) {  // clipped at the start: solve for the offset where stepping begins
        const TWide start = TWide(twiceRise) * kLo + length - 1;
        remainder = int64_t(start % twiceLength);
        r = int64_t(start / twiceLength);
    }

    const int64_t x = xMajor ? a0 + sa * kLo : b0 + sb * r;
    const int64_t y = xMajor ? b0 + sb * r : a0 + sa * kLo;
    const int64_t majorStep = xMajor ? sa : sa * width;
    const int64_t minorStep = xMajor ? sb * width : sb;
    uint8_t* const pixels = bitmap.ScanLine(0);
    int64_t offset = y * width + x;
    for (int64_t k = kLo; k <= kHi; ++k) {
        pixels[offset] = index;
        offset += majorStep;
        remainder += twiceRise;
        if (remainder >= twiceLength) {
            remainder -= twiceLength;
            offset += minorStep;
        }
    }
}

namespace {

// Tolerance for the inclusive boundary: a centre at exactly width/2 counts as within.
constexpr double Eps = 1e-7;

// One segment's capsule, with its geometry prepared for finding its extent row by row.
struct TCapsule {
    double Radius, Radius2;
    double Sx, Sy, Ex, Ey;  // the (clipped) ends
    double Span;            // distance between them
    double Ux, Uy;          // unit direction
    double AcrossSlope, AcrossHalf, AlongSlope, AlongEnd;
    // With integer ends the discs come exactly from the pen's table.
    bool IntegerEnds;
    bool StartDisc;
    const int32_t* HalfWidth;
    int32_t Reach;

    TCapsule(double radius, double sx, double sy, double ex, double ey, double dx, double dy, double t0, double t1) :
        Radius(radius), Radius2(radius * radius), Sx(sx), Sy(sy), Ex(ex), Ey(ey), IntegerEnds(false),
        StartDisc(true), HalfWidth(nullptr), Reach(0) {
        const double length = std::sqrt(dx * dx + dy * dy);
        Span = (t1 - t0) * length;
        Ux = length > 0 ? dx / length : 0;
        Uy = length > 0 ? dy / length : 0;
        // Along the band, row by row, the limits across and along the segment move linearly.
        AcrossSlope = Uy != 0 ? Ux / Uy : 0;
        AcrossHalf = Uy != 0 ? radius / std::fabs(Uy) : 0;
        AlongSlope = Ux != 0 ? -Uy / Ux : 0;
        AlongEnd = Ux != 0 ? Span / Ux : 0;
    }

    double RowTop() const { return std::ceil(std::min(Sy, Ey) - Radius - Eps); }
    double RowBottom() const { return std::floor(std::max(Sy, Ey) + Radius + Eps); }

    // The pixels [left, right] of row y within the capsule; false when there are none.
    bool Row(int32_t y, double& left, double& right) const {
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        if (IntegerEnds) {
            auto disc = [&](double cx, double cy) {
                const double k = std::fabs(y - cy);
                if (k > Reach) return;
                const int32_t h = HalfWidth[std::size_t(k)];
                lo = std::min(lo, cx - h);
                hi = std::max(hi, cx + h);
            };
            if (StartDisc) disc(Sx, Sy);
            disc(Ex, Ey);
        } else {
            auto disc = [&](double cx, double cy) {
                const double d = y - cy;
                const double h2 = Radius2 - d * d;
                if (h2 < -Eps) return;
                const double h = std::sqrt(std::max(h2, 0.0));
                lo = std::min(lo, cx - h);
                hi = std::max(hi, cx + h);
            };
            disc(Sx, Sy);
            disc(Ex, Ey);
        }
        const double ty = y - Sy;
        if (Span > 0) {
            if (Uy == 0) {
                if (std::fabs(ty) <= Radius + Eps) {
                    lo = std::min(lo, std::min(Sx, Ex));
                    hi = std::max(hi, std::max(Sx, Ex));
                }
            } else if (Ux == 0) {
                const double along = ty * Uy;
                if (along >= -Eps && along <= Span + Eps) {
                    lo = std::min(lo, Sx - Radius);
                    hi = std::max(hi, Sx + Radius);
                }
            } else {
                // Within the radius across the segment, and between its ends along it.
                const double across = ty * AcrossSlope;
                double c = ty * AlongSlope, e = c + AlongEnd;
                if (c > e) std::swap(c, e);
                const double bandLo = std::max(across - AcrossHalf, c), bandHi = std::min(across + AcrossHalf, e);
                if (bandLo <= bandHi) {
                    lo = std::min(lo, Sx + bandLo);
                    hi = std::max(hi, Sx + bandHi);
                }
            }
        }
        if (lo > hi) return false;
        left = std::ceil(lo - Eps);
        right = std::floor(hi + Eps);
        return left <= right;
    }
};

}  // namespace

void TRasterizer::PreparePen(int32_t penWidth) {
    if (penWidth == FDiscWidth) return;
    // Row k of the disc reaches h pixels either side where h*h + k*k <= (width/2)^2,
    // decided in integers so that centres exactly on the rim count as inside.
    const int64_t w2 = int64_t(penWidth) * penWidth;
    const int32_t reach = penWidth / 2;
    FDiscHalfWidth.resize(std::size_t(reach) + 1);
    int64_t h = reach;
    for (int32_t k = 0; k <= reach; ++k) {
        while (h > 0 && 4 * (h * h + int64_t(k) * k) > w2) --h;
        FDiscHalfWidth[std::size_t(k)] = int32_t(h);
    }
    FDiscWidth = penWidth;

    // The strokes of short segments, the bulk of any map outline, are the same shape
    // wherever they lie: keep each one's rows, relative to its start, for copying.
    FShapes.clear();
    FShapeRows.clear();
    if (penWidth > ShapePenLimit) return;
    for (int32_t dy = -ShapeReach; dy <= ShapeReach; ++dy)
        for (int32_t dx = -ShapeReach; dx <= ShapeReach; ++dx) {
            TCapsule capsule(penWidth / 2.0, 0, 0, dx, dy, dx, dy, 0, 1);
            capsule.IntegerEnds = true;
            capsule.HalfWidth = FDiscHalfWidth.data();
            capsule.Reach = reach;
            TShape shape{int32_t(capsule.RowTop()), 0, int32_t(FShapeRows.size())};
            for (int32_t y = shape.FirstRow; y <= int32_t(capsule.RowBottom()); ++y) {
                double left = 0, right = -1;
                if (!capsule.Row(y, left, right)) left = 1, right = 0;  // an empty row
                FShapeRows.push_back({int32_t(left), int32_t(right)});
                ++shape.RowCount;
            }
            FShapes.push_back(shape);
        }
}

void TRasterizer::PrepareCrescents(int32_t stride) {
    if (stride == FCrescentStride && FDiscWidth == FCrescentPen) return;
    for (int c = 0; c < 4; ++c) {
        FCrescentStart[c].clear();
        FCrescentOffsets[c].clear();
    }
    const int32_t reach = FDiscWidth / 2;
    auto inDisc = [&](int32_t x, int32_t y) {
        return std::abs(y) <= reach && std::abs(x) <= FDiscHalfWidth[std::size_t(std::abs(y))];
    };
    // Each run of a row goes as at most two stores of the widest size that fits it,
    // overlapping where the run is not a multiple of it (runs of 8 or more: 8-byte stores).
    auto run = [&](int64_t rowOffset, int32_t left, int32_t right) {
        const int32_t length = right - left + 1;
        auto put = [&](int c, int32_t x) { FCrescentOffsets[c].push_back(rowOffset + x); };
        if (length >= 8) {
            int32_t x = left;
            for (; x + 8 <= right + 1; x += 8) put(3, x);
            if (x <= right) put(3, right - 7);
        } else if (length >= 4) {
            put(2, left);
            put(2, right - 3);
        } else if (length >= 2) {
            put(1, left);
            put(1, right - 1);
        } else {
            put(0, left);
        }
    };
    for (std::size_t s = 0; s < FShapes.size(); ++s) {
        const TShape& shape = FShapes[s];
        const int32_t dx = int32_t(s % (2 * ShapeReach + 1)) - ShapeReach;
        const int32_t dy = int32_t(s / (2 * ShapeReach + 1)) - ShapeReach;
        for (int c = 0; c < 4; ++c) FCrescentStart[c].push_back(int32_t(FCrescentOffsets[c].size()));
        for (int32_t i = 0; i < shape.RowCount; ++i) {
            const int32_t y = shape.FirstRow + i;
            const auto [left, right] = FShapeRows[std::size_t(shape.FirstSpan + i)];
            // The end disc is always written whole: the next segment counts on it.
            auto kept = [&](int32_t x) { return !inDisc(x, y) || inDisc(x - dx, y - dy); };
            for (int32_t x = left; x <= right;) {
                if (!kept(x)) {
                    ++x;
                    continue;
                }
                int32_t end = x;
                while (end + 1 <= right && kept(end + 1)) ++end;
                run(int64_t(y) * stride, x, end);
                x = end + 1;
            }
        }
    }
    for (int c = 0; c < 4; ++c) FCrescentStart[c].push_back(int32_t(FCrescentOffsets[c].size()));
    FCrescentStride = stride;
    FCrescentPen = FDiscWidth;
}

// A wide stroke is the capsule swept by a disc along the segment. Every row it touches
// gets one span: the union of the two end discs and the band between them, which is a
// single interval because the capsule is convex. When the previous segment of a path
// already drew the disc at this one's start, startDisc is false and it may be skipped.
void TRasterizer::Stroke(TBitmap& bitmap, TPoint from, TPoint to, int32_t penWidth, uint8_t index, bool startDisc) {
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    PreparePen(penWidth);
    const double radius = penWidth / 2.0;
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;

    // Clip to the bitmap grown by more than the radius: the part of the capsule that
    // reaches any pixel centre is unchanged, and what remains is small in every case.
    const double margin = radius + 2;
    auto near = [&](TPoint p) {
        return p.X >= -margin && p.X <= width - 1 + margin && p.Y >= -margin && p.Y <= height - 1 + margin;
    };
    const bool clipped = !near(from) || !near(to);

    if (Shortcuts && !clipped && !FShapes.empty() && std::llabs(dx) <= ShapeReach && std::llabs(dy) <= ShapeReach) {
        const TShape& shape = FShapes[std::size_t((dy + ShapeReach) * (2 * ShapeReach + 1) + dx + ShapeReach)];
        for (int32_t i = 0; i < shape.RowCount; ++i) {
            const int32_t y = from.Y + shape.FirstRow + i;
            if (y < 0 || y >= height) continue;
            const auto [left, right] = FShapeRows[std::size_t(shape.FirstSpan + i)];
            const int32_t l = std::max(from.X + left, 0), r = std::min(from.X + right, width - 1);
            if (l <= r) FillRun(bitmap.ScanLine(y) + l, std::size_t(r - l + 1), index);
        }
        return;
    }

    if (Shortcuts && !clipped && (dx == 0) != (dy == 0)) {
        StrokeStraight(bitmap, from, to, index, startDisc);
        return;
    }

    double t0 = 0, t1 = 1;
    if (clipped) {
        const double p[4] = {-double(dx), double(dx), -double(dy), double(dy)};
        const double q[4] = {from.X + margin, (width - 1 + margin) - from.X, from.Y + margin,
                             (height - 1 + margin) - from.Y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return;
            } else {
                const double t = q[i] / p[i];
                if (p[i] < 0) {
                    if (t > t1) return;
                    t0 = std::max(t0, t);
                } else {
                    if (t < t0) return;
                    t1 = std::min(t1, t);
                }
            }
        }
    }
    TCapsule capsule(radius, from.X + t0 * double(dx), from.Y + t0 * double(dy), from.X + t1 * double(dx),
                     from.Y + t1 * double(dy), double(dx), double(dy), t0, t1);
    if (!clipped) {
        capsule.IntegerEnds = true;
        capsule.StartDisc = startDisc;
        capsule.HalfWidth = FDiscHalfWidth.data();
        capsule.Reach = penWidth / 2;
    }
    // A pen wide enough to cover the whole bitmap from one end paints it all at once,
    // rather than row by row for every segment of a long path.
    auto coversAll = [&](double cx, double cy) {
        const double fx = std::max(std::fabs(cx), std::fabs(cx - (width - 1)));
        const double fy = std::max(std::fabs(cy), std::fabs(cy - (height - 1)));
        return fx * fx + fy * fy <= capsule.Radius2;
    };
    if (coversAll(capsule.Sx, capsule.Sy) || coversAll(capsule.Ex, capsule.Ey)) {
        FillRect(bitmap, 0, 0, width, height, index);
        return;
    }

    const double rowTop = std::max(0.0, capsule.RowTop());
    const double rowBottom = std::min(double(height - 1), capsule.RowBottom());
    if (rowTop > rowBottom) return;
    for (int32_t y = int32_t(rowTop); y <= int32_t(rowBottom); ++y) {
        double left = 0, right = 0;
        if (!capsule.Row(y, left, right)) continue;
        const int32_t l = int32_t(std::clamp(left, 0.0, double(width)));
        const int32_t r = int32_t(std::clamp(right, -1.0, double(width - 1)));
        if (l <= r) FillRun(bitmap.ScanLine(y) + l, std::size_t(r - l + 1), index);
    }
}

// A stroke straight down or across, the grid's meridians and parallels: a band as wide as
// the pen with the pen's disc at each end, so every row's span comes from the disc table
// without any geometry. The discs share the band's centre line, so on a row reached by
// both the nearer one is the wider and alone decides the span.
void TRasterizer::StrokeStraight(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index, bool startDisc) {
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    const int32_t reach = FDiscWidth / 2;
    const int32_t* const half = FDiscHalfWidth.data();
    auto span = [&](int64_t y, int64_t left, int64_t right) {
        if (y < 0 || y >= height) return;
        left = std::max<int64_t>(left, 0);
        right = std::min<int64_t>(right, width - 1);
        if (left <= right) FillRun(bitmap.ScanLine(int32_t(y)) + left, std::size_t(right - left + 1), index);
    };
    if (from.X == to.X) {
        const int64_t x = from.X;
        const int64_t down = to.Y > from.Y ? 1 : -1;
        for (int64_t y = std::max<int64_t>(std::min(from.Y, to.Y), 0); y <= std::min<int64_t>(std::max(from.Y, to.Y), height - 1); ++y)
            span(y, x - reach, x + reach);
        for (int64_t k = 1; k <= reach; ++k) {
            span(to.Y + down * k, x - half[k], x + half[k]);
            // Past the start, what the end disc might still reach lies within the start
            // disc, which the previous segment of the path has drawn when this one may not.
            if (startDisc) span(from.Y - down * k, x - half[k], x + half[k]);
        }
        return;
    }
    for (int64_t k = -reach; k <= reach; ++k) {
        const int64_t h = half[std::llabs(k)];
        int64_t left = std::min<int64_t>(std::min(from.X, to.X), to.X - h);
        int64_t right = std::max<int64_t>(std::max(from.X, to.X), to.X + h);
        if (startDisc) {
            left = std::min<int64_t>(left, from.X - h);
            right = std::max<int64_t>(right, from.X + h);
        }
        span(from.Y + k, left, right);
    }
}

// Scanline fill. Edges are bucketed by the first bitmap row they cross and join the
// active list there, so only one row's crossings are ever held, however long the
// polygon. An edge from (xa, ya) down to (xb, yb) crosses the centre line of rows
// ya .. yb - 1, and the first pixel at or right of its crossing there is
//   ceil(xa - 1/2 + (2k + 1) * (xb - xa) / (2 * (yb - ya))),  k = row - ya,
// computed exactly and then stepped from row to row with integer remainders.
void TRasterizer::FillPolygon(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index) {
    const int32_t height = bitmap.Height();
    if (points == nullptr || count < 3 || bitmap.Width() == 0 || height == 0) return;

    int32_t minX = points[0].X, maxX = points[0].X, minY = points[0].Y, maxY = points[0].Y;
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, points[i].X);
        maxX = std::max(maxX, points[i].X);
        minY = std::min(minY, points[i].Y);
        maxY = std::max(maxY, points[i].Y);
    }
    const int32_t top = std::max(minY, 0);
    const int32_t bottom = std::min(maxY, height);  // rows [top, bottom)
    if (top >= bottom) return;
    auto narrow = [](int32_t v) { return std::llabs(v) < NarrowLimit; };
    if (Shortcuts && height < NarrowLimit && bitmap.Width() < NarrowLimit && narrow(minX) && narrow(maxX) &&
        narrow(minY) && narrow(maxY))
        FillNarrow(bitmap, points, count, top, bottom, mode, index);
    else
        FillGeneral(bitmap, points, count, top, bottom, mode, index);
}

// Coordinates below NarrowLimit: every quantity of an edge's stepping fits 32 bits, and its
// set-up 64. The edges are set up in one pass over the points, in order, and stored by
// first row, so that each row reads its own in address order. Most edges of a map outline
// cross one or two rows: those are stored as just their crossings, and only taller edges
// are kept as records that join the active list.
void TRasterizer::FillNarrow(TBitmap& bitmap, const TPoint* points, int count, int32_t top, int32_t bottom,
                             TPolyFillMode mode, uint8_t index) {
    constexpr int32_t ShortEdgeRows = 2;
    const std::size_t rows = std::size_t(bottom - top);
    FRowStart.assign(rows + 1, 0);
    FKeyStart.assign(rows + 1, 0);
    // Edge i runs from point i - 1 to point i, the closing edge first: the order of edges
    // within a row does not matter, as their crossings are sorted.
    int32_t* const tallCount = FRowStart.data() + 1;
    int32_t* const singleCount = FKeyStart.data() + 1;
    int32_t previousY = points[count - 1].Y;
    for (int i = 0; i < count; ++i) {
        const int32_t y = points[i].Y;
        const int32_t ya = std::min(previousY, y), yb = std::max(previousY, y);
        previousY = y;
        if (ya == yb || yb <= top || ya >= bottom) continue;
        const int32_t first = std::max(ya, top) - top;
        const int32_t rowsCrossed = std::min(yb, bottom) - top - first;
        if (rowsCrossed > ShortEdgeRows) {
            ++tallCount[first];
        } else {
            ++singleCount[first];
            if (rowsCrossed == 2) ++singleCount[first + 1];
        }
    }
    for (std::size_t r = 0; r < rows; ++r) {
        FRowStart[r + 1] += FRowStart[r];
        FKeyStart[r + 1] += FKeyStart[r];
    }
    if (FEdges.size() < std::size_t(FRowStart[rows])) FEdges.resize(std::size_t(FRowStart[rows]));
    if (FKeys.size() < std::size_t(FKeyStart[rows])) FKeys.resize(std::size_t(FKeyStart[rows]));

    const int32_t pixelLimit = bitmap.Width();
    auto key = [pixelLimit](int32_t x, int32_t down) { return uint32_t(std::clamp(x, 0, pixelLimit)) * 2 + uint32_t(down); };
    TEdge* const tall = FEdges.data();
    uint32_t* const singles = FKeys.data();
    // The scatter moves each row's start on to the next row's.
    int32_t* const nextTall = FRowStart.data();
    int32_t* const nextSingle = FKeyStart.data();
    TPoint previous = points[count - 1];
    for (int i = 0; i < count; ++i) {
        const TPoint p = points[i];
        const TPoint from = previous;
        previous = p;
        if (from.Y == p.Y) continue;
        const bool down = from.Y < p.Y;
        const TPoint a = down ? from : p, b = down ? p : from;
        if (b.Y <= top || a.Y >= bottom) continue;
        // The formula of the general fill, in 64 bits.
        const int32_t first = std::max(a.Y, top);
        const int32_t last = std::min(b.Y, bottom);  // rows [first, last)
        const int64_t dy = int64_t(b.Y) - a.Y, dx = int64_t(b.X) - a.X;
        const int64_t divisor = 2 * dy;
        const int64_t k = int64_t(first) - a.Y;
        const int64_t m = (2 * int64_t(a.X) - 1) * dy + (2 * k + 1) * dx + divisor - 1;
        const int64_t quotient = FloorDivEstimated(m, divisor);
        if (last - first <= ShortEdgeRows) {
            singles[nextSingle[first - top]++] = key(int32_t(quotient), down ? 1 : 0);
            if (last - first == 2)
                singles[nextSingle[first - top + 1]++] = key(int32_t(FloorDivEstimated(m + 2 * dx, divisor)), down ? 1 : 0);
            continue;
        }
        const int64_t step = FloorDivEstimated(2 * dx, divisor);
        tall[nextTall[first - top]++] = TEdge{int32_t(quotient), int32_t(m - quotient * divisor), int32_t(step),
                                             int32_t(2 * dx - step * divisor), int32_t(divisor),
                                             last * 2 + (down ? 1 : 0)};
    }
    for (std::size_t r = rows; r > 0; --r) {
        FRowStart[r] = FRowStart[r - 1];
        FKeyStart[r] = FKeyStart[r - 1];
    }
    FRowStart[0] = 0;
    FKeyStart[0] = 0;

    auto step = [](TEdge& edge) {
        edge.X += edge.Step;
        edge.Remainder += edge.RemainderStep;
        if (edge.Remainder >= edge.Divisor) {
            edge.Remainder -= edge.Divisor;
            ++edge.X;
        }
    };

    FActiveEdges.clear();
    for (int32_t y = top; y < bottom; ++y) {
        const std::size_t r = std::size_t(y - top);
        const TEdge* const fresh = tall + FRowStart[r];
        const TEdge* const freshEnd = tall + FRowStart[r + 1];
        const uint32_t* const single = singles + FKeyStart[r];
        const std::size_t singleCount = std::size_t(FKeyStart[r + 1] - FKeyStart[r]);
        const std::size_t active = FActiveEdges.size();
        const std::size_t most = active + std::size_t(freshEnd - fresh) + singleCount;
        if (FCrossings.size() < most) FCrossings.resize(most);
        uint32_t* out = FCrossings.data();
        if (singleCount != 0) std::memcpy(out, single, singleCount * sizeof(uint32_t));
        out += singleCount;
        // Crossings of this row, stepping on to the next those edges that reach it.
        const int32_t beyondNextRow = 2 * (y + 2);  // BottomDown at least this: crosses y + 1
        TEdge* const kept = FActiveEdges.data();
        std::size_t keptCount = 0;
        for (std::size_t i = 0; i < active; ++i) {
            TEdge edge = kept[i];
            *out++ = key(edge.X, edge.BottomDown & 1);
            if (edge.BottomDown >= beyondNextRow) {
                step(edge);
                kept[keptCount++] = edge;
            }
        }
        FActiveEdges.resize(keptCount);
        for (const TEdge* e = fresh; e != freshEnd; ++e) {
            *out++ = key(e->X, e->BottomDown & 1);
            if (e->BottomDown >= beyondNextRow) {
                TEdge edge = *e;
                step(edge);
                FActiveEdges.push_back(edge);
            }
        }
        FillSpans(bitmap, y, std::size_t(out - FCrossings.data()), mode, index);
    }
}

// Any coordinates: the edge set-up is exact in 128 bits, and the edges are read from the
// points row by row.
void TRasterizer::FillGeneral(TBitmap& bitmap, const TPoint* points, int count, int32_t top, int32_t bottom,
                              TPolyFillMode mode, uint8_t index) {
    bool narrow = true;
    for (int i = 0; i < count && narrow; ++i)
        narrow = std::llabs(points[i].X) < NarrowLimit && std::llabs(points[i].Y) < NarrowLimit;
    narrow = narrow && bitmap.Height() < NarrowLimit;
    // Group the edges by the first row they cross (a counting sort), keeping them in
    // polygon order within a row so that the points are read in address order.
    const std::size_t rows = std::size_t(bottom - top);
    FRowStart.assign(rows + 1, 0);
    auto firstRow = [&](int i) -> int32_t {
        const int32_t y0 = points[i].Y, y1 = points[i + 1 < count ? i + 1 : 0].Y;
        const int32_t ya = std::min(y0, y1), yb = std::max(y0, y1);
        if (ya == yb || yb <= top || ya >= bottom) return -1;
        return std::max(ya, top) - top;
    };
    int32_t edges = 0;
    for (int i = 0; i < count; ++i) {
        const int32_t row = firstRow(i);
        if (row >= 0) {
            ++FRowStart[std::size_t(row) + 1];
            ++edges;
        }
    }
    for (std::size_t r = 0; r < rows; ++r) FRowStart[r + 1] += FRowStart[r];
    if (FEdgeOrder.size() < std::size_t(edges)) FEdgeOrder.resize(std::size_t(edges));
    for (int i = 0; i < count; ++i) {
        const int32_t row = firstRow(i);
        if (row >= 0) FEdgeOrder[std::size_t(FRowStart[std::size_t(row)]++)] = i;
    }
    // The scatter moved each start to the next row's; shift them back.
    for (std::size_t r = rows; r > 0; --r) FRowStart[r] = FRowStart[r - 1];
    FRowStart[0] = 0;

    const int64_t pixelLimit = bitmap.Width();
    auto emit = [&](int64_t pixel, int32_t direction) {
        pixel = std::clamp<int64_t>(pixel, 0, pixelLimit);
        FCrossings.push_back(uint32_t(pixel) * 2 + (direction > 0 ? 1 : 0));
    };

    FActive.clear();
    for (int32_t y = top; y < bottom; ++y) {
        FCrossings.clear();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < FActive.size(); ++i) {
            TActiveEdge edge = FActive[i];
            emit(edge.Quotient, edge.Direction);
            if (y + 1 < edge.BottomRow) {
                edge.Quotient += edge.QuotientStep;
                edge.Remainder += edge.RemainderStep;
                if (edge.Remainder >= edge.Divisor) {
                    edge.Remainder -= edge.Divisor;
                    ++edge.Quotient;
                }
                FActive[kept++] = edge;
            }
        }
        FActive.resize(kept);

        const int32_t* const rowEdges = FEdgeOrder.data();
        const int32_t rowEnd = FRowStart[std::size_t(y - top) + 1];
        for (int32_t e = FRowStart[std::size_t(y - top)]; e < rowEnd; ++e) {
            const int32_t i = rowEdges[e];
            // A row's edges lie scattered along the polygon: fetch ahead to overlap the misses.
            if (e + 8 < rowEnd) __builtin_prefetch(&points[rowEdges[e + 8]]);
            const TPoint& p0 = points[i];
            const TPoint& p1 = points[i + 1 < count ? i + 1 : 0];
            const bool down = p0.Y < p1.Y;
            const TPoint& a = down ? p0 : p1;
            const TPoint& b = down ? p1 : p0;
            const int64_t dy = int64_t(b.Y) - a.Y, dx = int64_t(b.X) - a.X;
            const int64_t divisor = 2 * dy;
            const int64_t k = int64_t(y) - a.Y;
            int64_t quotient, remainder;
            if (narrow) {
                const int64_t m = (2 * int64_t(a.X) - 1) * dy + (2 * k + 1) * dx + divisor - 1;
                quotient = FloorDivEstimated(m, divisor);
                remainder = m - quotient * divisor;
            } else {
                const TWide m = TWide(2 * int64_t(a.X) - 1) * dy + TWide(2 * k + 1) * dx + divisor - 1;
                quotient = FloorDiv(m, divisor);
                remainder = int64_t(m - TWide(quotient) * divisor);
            }
            const int32_t direction = down ? 1 : -1;
            emit(quotient, direction);
            if (y + 1 < b.Y) {
                // Step to the next row now, as the loop above would have done.
                const int64_t quotientStep = FloorDiv64(2 * dx, divisor);
                const int64_t remainderStep = 2 * dx - quotientStep * divisor;
                TActiveEdge edge{quotient + quotientStep, remainder + remainderStep, quotientStep, remainderStep,
                                 divisor, b.Y, direction};
                if (edge.Remainder >= divisor) {
                    edge.Remainder -= divisor;
                    ++edge.Quotient;
                }
                FActive.push_back(edge);
            }
        }
        FillSpans(bitmap, y, FCrossings.size(), mode, index);
    }
}

void TRasterizer::FillSpans(TBitmap& bitmap, int32_t row, std::size_t n, TPolyFillMode mode, uint8_t index) {
    uint8_t* const line = bitmap.ScanLine(row);
    auto span = [&](uint32_t left, uint32_t right) {
        if (left < right) FillRun(line + left, std::size_t(right - left), index);
    };
    // Most rows of most polygons cross the outline twice: one span, or none where both
    // crossings wind the same way.
    if (n == 2) {
        const uint32_t a = std::min(FCrossings[0], FCrossings[1]), b = std::max(FCrossings[0], FCrossings[1]);
        if (mode == TPolyFillMode::Alternate || ((a ^ b) & 1) != 0) span(a >> 1, b >> 1);
        return;
    }
    SortCrossings(FCrossings.data(), n, FSortBuffer);
    if (mode == TPolyFillMode::Alternate) {
        for (std::size_t i = 0; i + 1 < n; i += 2) span(FCrossings[i] >> 1, FCrossings[i + 1] >> 1);
        return;
    }
    // The spans are gathered first and painted after, so that the walk through the
    // crossings has no branch on where they begin and end. Spans go to the sort buffer,
    // free by now: each takes two crossings, and one more pair is written, unkept.
    if (FSortBuffer.size() < n + 2) FSortBuffer.resize(n + 2);
    uint32_t* const spans = FSortBuffer.data();
    const uint32_t* const crossings = FCrossings.data();
    std::size_t found = 0;
    int winding = 0;
    uint32_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const uint32_t pixel = crossings[i] >> 1;
        if (winding == 0) start = pixel;  // a span begins wherever the count leaves 0
        winding += int(crossings[i] & 1) * 2 - 1;
        spans[found] = start;  // ends where the count comes back to 0
        spans[found + 1] = pixel;
        found += winding == 0 ? 2 : 0;
    }
    for (std::size_t i = 0; i < found; i += 2) span(spans[i], spans[i + 1]);
}

}  // namespace gridloom
