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

// The same, faster for the small values of ordinary edges: the floating-point quotient of
// numbers below 2^50 is within one of the true one, and the remainder corrects it.
int64_t FloorDivEstimated(int64_t a, int64_t b) {
    // Edges one or two rows tall, most of a coastline, divide by a power of two.
    if ((b & (b - 1)) == 0) return a >> __builtin_ctzll(uint64_t(b));
    constexpr int64_t Exact = int64_t(1) << 50;
    if (a >= Exact || a <= -Exact) return FloorDiv64(a, b);
    int64_t q = int64_t(std::floor(double(a) / double(b)));
    const int64_t r = a - q * b;
    if (r < 0) --q;
    else if (r >= b) ++q;
    return q;
}

// Coordinates up to this size keep the edge set-up arithmetic inside 64 bits.
constexpr int64_t NarrowLimit = int64_t(1) << 28;

// Sorts one row's crossings. Most rows of a map cross a handful of edges, where insertion
// sort is quickest; long rows (a coastline's ragged top) use a byte-wise radix sort, whose
// cost grows only linearly with the number of crossings.
void SortCrossings(std::vector<uint32_t>& crossings, std::vector<uint32_t>& buffer) {
    const std::size_t n = crossings.size();
    if (n <= 32) {
        for (std::size_t i = 1; i < n; ++i) {
            const uint32_t key = crossings[i];
            std::size_t j = i;
            for (; j > 0 && crossings[j - 1] > key; --j) crossings[j] = crossings[j - 1];
            crossings[j] = key;
        }
        return;
    }
    uint32_t highest = 0;
    for (const uint32_t key : crossings) highest |= key;
    buffer.resize(n);
    uint32_t* from = crossings.data();
    uint32_t* to = buffer.data();
    for (int shift = 0; shift < 32 && (highest >> shift) != 0; shift += 8) {
        std::size_t offsets[256] = {};
        for (std::size_t i = 0; i < n; ++i) ++offsets[(from[i] >> shift) & 0xFF];
        std::size_t total = 0;
        for (std::size_t& o : offsets) {
            const std::size_t c = o;
            o = total;
            total += c;
        }
        for (std::size_t i = 0; i < n; ++i) to[offsets[(from[i] >> shift) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != crossings.data()) std::copy(from, from + n, crossings.data());
}

// Fills a run of pixels; the short runs of strokes and small polygons are written with a
// few word stores rather than a call.
inline void FillRun(uint8_t* at, std::size_t n, uint8_t index) {
    if (n > 32) {
        std::memset(at, index, n);
        return;
    }
    const uint64_t pattern = 0x0101010101010101ull * index;
    for (; n >= 8; n -= 8, at += 8) std::memcpy(at, &pattern, 8);
    if (n >= 4) {
        std::memcpy(at, &pattern, 4);
        at += 4;
        n -= 4;
    }
    if (n >= 2) {
        std::memcpy(at, &pattern, 2);
        at += 2;
        n -= 2;
    }
    if (n != 0) *at = index;
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
    for (int i = 0; i + 1 < count; ++i) {
        if (width <= 1)
            Segment1(bitmap, points[i], points[i + 1], index);
        else
            Stroke(bitmap, points[i], points[i + 1], width, index, i == 0);
    }
}

void TRasterizer::OutlinePolygon(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    for (int i = 0; i < count; ++i) {
        const TPoint& to = points[i + 1 < count ? i + 1 : 0];
        if (width <= 1)
            Segment1(bitmap, points[i], to, index);
        else
            Stroke(bitmap, points[i], to, width, index, false);  // the closing edge draws vertex 0
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

    if (!clipped && !FShapes.empty() && std::llabs(dx) <= ShapeReach && std::llabs(dy) <= ShapeReach) {
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

// Scanline fill. Edges are bucketed by the first bitmap row they cross and join the
// active list there, so only one row's crossings are ever held, however long the
// polygon. An edge from (xa, ya) down to (xb, yb) crosses the centre line of rows
// ya .. yb - 1, and the first pixel at or right of its crossing there is
//   ceil(xa - 1/2 + (2k + 1) * (xb - xa) / (2 * (yb - ya))),  k = row - ya,
// computed exactly and then stepped from row to row with integer remainders.
void TRasterizer::FillPolygon(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index) {
    const int32_t height = bitmap.Height();
    if (points == nullptr || count < 3 || bitmap.Width() == 0 || height == 0) return;

    int32_t minY = points[0].Y, maxY = points[0].Y;
    bool narrow = height < NarrowLimit;
    for (int i = 0; i < count; ++i) {
        minY = std::min(minY, points[i].Y);
        maxY = std::max(maxY, points[i].Y);
        narrow = narrow && std::llabs(points[i].X) < NarrowLimit && std::llabs(points[i].Y) < NarrowLimit;
    }
    const int32_t top = std::max(minY, 0);
    const int32_t bottom = std::min(maxY, height);  // rows [top, bottom)
    if (top >= bottom) return;

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
        FillSpans(bitmap, y, mode, index);
    }
}

void TRasterizer::FillSpans(TBitmap& bitmap, int32_t row, TPolyFillMode mode, uint8_t index) {
    SortCrossings(FCrossings, FSortBuffer);
    uint8_t* const line = bitmap.ScanLine(row);
    const std::size_t n = FCrossings.size();
    auto span = [&](uint32_t left, uint32_t right) {
        if (left < right) FillRun(line + left, std::size_t(right - left), index);
    };
    if (mode == TPolyFillMode::Alternate) {
        for (std::size_t i = 0; i + 1 < n; i += 2) span(FCrossings[i] >> 1, FCrossings[i + 1] >> 1);
        return;
    }
    int winding = 0;
    uint32_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const uint32_t pixel = FCrossings[i] >> 1;
        const int before = winding;
        winding += (FCrossings[i] & 1) ? 1 : -1;
        if (before == 0 && winding != 0)
            start = pixel;
        else if (before != 0 && winding == 0)
            span(start, pixel);
    }
}

}  // namespace gridloom
