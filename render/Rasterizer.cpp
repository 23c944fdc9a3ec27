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
        Stroke(bitmap, from, to, width, index);
}

void TRasterizer::Polyline(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    for (int i = 0; i + 1 < count; ++i) {
        if (width <= 1)
            Segment1(bitmap, points[i], points[i + 1], index);
        else
            Stroke(bitmap, points[i], points[i + 1], width, index);
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
            Stroke(bitmap, points[i], to, width, index);
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
    if (rise > 0) {
        // r(k) <= M  <=>  k <= (2M + 1) * length / (2 * rise), rounded down.
        const TWide num = (TWide(2) * rHi + 1) * length;
        const int64_t limit = int64_t(std::min<TWide>(num / (2 * rise), TWide(kHi)));
        kHi = std::min(kHi, limit);
    }
    if (kLo > kHi) return;

    const int64_t twiceLength = 2 * length, twiceRise = 2 * rise;
    const TWide start = TWide(twiceRise) * kLo + length - 1;
    int64_t remainder = int64_t(start % twiceLength);
    const int64_t r = int64_t(start / twiceLength);

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

// A wide stroke is the capsule swept by a disc along the segment. Every row it touches
// gets one span: the union of the two end discs and the band between them, which is a
// single interval because the capsule is convex.
void TRasterizer::Stroke(TBitmap& bitmap, TPoint from, TPoint to, int32_t penWidth, uint8_t index) {
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return;
    const double radius = penWidth / 2.0, radius2 = radius * radius;
    const double dx = double(int64_t(to.X) - from.X), dy = double(int64_t(to.Y) - from.Y);

    // Clip to the bitmap grown by more than the radius: the part of the capsule that
    // reaches any pixel centre is unchanged, and what remains is small in every case.
    const double margin = radius + 2;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
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
    const double length = std::sqrt(dx * dx + dy * dy);
    const double sx = from.X + t0 * dx, sy = from.Y + t0 * dy;  // clipped start
    const double ex = from.X + t1 * dx, ey = from.Y + t1 * dy;  // clipped end
    const double span = (t1 - t0) * length;
    const double ux = length > 0 ? dx / length : 0, uy = length > 0 ? dy / length : 0;

    // A pen wide enough to cover the whole bitmap from one end paints it all at once.
    auto coversAll = [&](double cx, double cy) {
        const double fx = std::max(std::fabs(cx), std::fabs(cx - (width - 1)));
        const double fy = std::max(std::fabs(cy), std::fabs(cy - (height - 1)));
        return fx * fx + fy * fy <= radius2;
    };
    if (coversAll(sx, sy) || coversAll(ex, ey)) {
        FillRect(bitmap, 0, 0, width, height, index);
        return;
    }

    // Tolerance for the inclusive boundary: a centre at exactly width/2 counts as within.
    constexpr double Eps = 1e-7;
    const double rowTop = std::max(0.0, std::ceil(std::min(sy, ey) - radius - Eps));
    const double rowBottom = std::min(double(height - 1), std::floor(std::max(sy, ey) + radius + Eps));
    for (int32_t y = int32_t(rowTop); y <= int32_t(rowBottom) && rowTop <= rowBottom; ++y) {
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        auto disc = [&](double cx, double cy) {
            const double d = y - cy;
            const double h2 = radius2 - d * d;
            if (h2 < -Eps) return;
            const double h = std::sqrt(std::max(h2, 0.0));
            lo = std::min(lo, cx - h);
            hi = std::max(hi, cx + h);
        };
        disc(sx, sy);
        disc(ex, ey);
        const double ty = y - sy;
        if (span > 0) {
            if (uy == 0) {
                if (std::fabs(ty) <= radius + Eps) {
                    lo = std::min(lo, std::min(sx, ex));
                    hi = std::max(hi, std::max(sx, ex));
                }
            } else if (ux == 0) {
                const double along = ty * uy;
                if (along >= -Eps && along <= span + Eps) {
                    lo = std::min(lo, sx - radius);
                    hi = std::max(hi, sx + radius);
                }
            } else {
                // Within the radius across the segment, and between its ends along it.
                double a = (ty * ux - radius) / uy, b = (ty * ux + radius) / uy;
                double c = -ty * uy / ux, e = (span - ty * uy) / ux;
                if (a > b) std::swap(a, b);
                if (c > e) std::swap(c, e);
                const double bandLo = std::max(a, c), bandHi = std::min(b, e);
                if (bandLo <= bandHi) {
                    lo = std::min(lo, sx + bandLo);
                    hi = std::max(hi, sx + bandHi);
                }
            }
        }
        if (lo > hi) continue;
        lo = std::max(lo, -1.0);
        hi = std::min(hi, double(width));
        const int32_t left = int32_t(std::ceil(lo - Eps));
        const int32_t right = int32_t(std::floor(hi + Eps));
        FillSpan(bitmap, y, left, right + 1, index);
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
        if (left < right) std::memset(line + left, index, std::size_t(right - left));
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
