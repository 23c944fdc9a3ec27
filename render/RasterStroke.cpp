#include "render/RasterStroke.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/Bitmap.h"
#include "render/RasterMath.h"
#include "render/RasterOps.h"

namespace gridloom {

namespace {

// The magnitude |c| w / 2L of a component c of the offset across a segment of length L,
// rounded down or to nearest, exactly: compared in squares, as 4 L^2 f^2 <= c^2 w^2, so
// that an offset landing on a whole or half pixel (a 3-4-5 segment, say) rounds by the
// rule rather than by the last bit of a square root. The squares fit 128 bits: c and L
// below 2^34, w below 2^24 (pens are held to twice the bitmap's diagonal).
class TScaledOffset {
public:
    TScaledOffset(int64_t dx, int64_t dy, int64_t width)
        : FLength2(TWide(dx) * dx + TWide(dy) * dy),
          FWidth(width),
          FLength(std::sqrt(double(dx) * double(dx) + double(dy) * double(dy))) {}

    // floor(|c| w / 2L)
    int64_t Floor(int64_t c) const {
        const TWide limit = Square(c) * Square(FWidth);
        int64_t f = Estimate(c);
        while (f > 0 && 4 * FLength2 * Square(f) > limit) --f;
        while (4 * FLength2 * Square(f + 1) <= limit) ++f;
        return f;
    }
    // |c| w / 2L rounded to nearest, halves up: the largest r with r - 1/2 <= |c| w / 2L.
    int64_t Nearest(int64_t c) const {
        const TWide limit = Square(c) * Square(FWidth);
        int64_t r = Estimate(c);
        while (r > 0 && FLength2 * Square(2 * r - 1) > limit) --r;
        while (FLength2 * Square(2 * r + 1) <= limit) ++r;
        return r;
    }

private:
    static TWide Square(int64_t v) { return TWide(v) * v; }
    int64_t Estimate(int64_t c) const { return int64_t(std::fabs(double(c)) * double(FWidth) / (2 * FLength)); }

    TWide FLength2;
    int64_t FWidth;
    double FLength;
};

}  // namespace

// Walks the first octant, u = 0, 1, ... while u <= v(u), and records for each row offset
// the widest column offset that any point of the walk, or its mirror image across the
// diagonal, puts on it; the other seven octants are the mirror images across the axes.
// On half-integer offsets (even widths), index i stands for i + 1/2.
TPenDisc::TPenDisc(int32_t width) : FWidth(std::max(width, 1)) {
    const bool odd = FWidth % 2 != 0;
    // Twice the radius, (w - 1), squared: the walk compares squares of doubled offsets, so
    // that half-integers stay integers.
    const int64_t diameter = FWidth - 1;
    const int64_t reach = odd ? diameter / 2 : (FWidth - 2) / 2;  // the largest row index
    std::vector<int32_t> widest(std::size_t(reach) + 1, -1);
    int64_t v = reach;
    for (int64_t u = 0;; ++u) {
        const int64_t twiceU = odd ? 2 * u : 2 * u + 1;
        const int64_t room = diameter * diameter - twiceU * twiceU;  // 4 (R^2 - u^2)
        if (odd) {
            // v = round(sqrt(R^2 - u^2)): the largest v with (2v - 1)^2 <= 4 (R^2 - u^2).
            while (v > 0 && (2 * v - 1) * (2 * v - 1) > room) --v;
        } else if (u > 0) {
            // v = 1/2 + the largest k with k^2 < R^2 - u^2; the first point is always taken.
            while (v >= 0 && 4 * v * v >= room) --v;
            if (v < 0) break;
        }
        if (u > v) break;
        widest[std::size_t(v)] = std::max<int32_t>(widest[std::size_t(v)], int32_t(u));
        widest[std::size_t(u)] = std::max<int32_t>(widest[std::size_t(u)], int32_t(v));
    }
    // Every row is reached (v falls by at most one a step in the first octant); the
    // guard keeps a row that were not from making an inverted run.
    for (std::size_t k = widest.size(); k-- > 0;)
        if (widest[k] < 0) widest[k] = k + 1 < widest.size() ? widest[k + 1] : 0;

    if (odd) {
        FFirstRow = -int32_t(reach);
        for (int64_t t = -reach; t <= reach; ++t) {
            const int32_t h = widest[std::size_t(std::llabs(t))];
            FLeft.push_back(-h);
            FRight.push_back(h);
        }
    } else {
        // Row offset k + 1/2 from the corner is pixel row k below the pixel, -(k + 1/2) is
        // row -1 - k; columns the same turned.
        FFirstRow = -1 - int32_t(reach);
        for (int64_t t = -1 - reach; t <= reach; ++t) {
            const int32_t h = widest[std::size_t(t >= 0 ? t : -1 - t)];
            FLeft.push_back(-1 - h);
            FRight.push_back(h);
        }
    }
}

void DrawDisc(TBitmap& bitmap, const TPenDisc& disc, TPoint p, uint8_t index) {
    const int64_t first = std::max<int64_t>(0, -(int64_t(p.Y) + disc.FirstRow()));
    const int64_t last = std::min<int64_t>(disc.RowCount(), int64_t(bitmap.Height()) - p.Y - disc.FirstRow());
    for (int64_t i = first; i < last; ++i)
        FillSpan64(bitmap, int64_t(p.Y) + disc.FirstRow() + i, int64_t(p.X) + disc.Left(int32_t(i)),
                   int64_t(p.X) + disc.Right(int32_t(i)), index);
}

void DrawBand(TBitmap& bitmap, int32_t width, TPoint from, TPoint to, uint8_t index) {
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    if (dx == 0 && dy == 0) return;
    const int64_t before = width / 2;  // rows (or columns) on the near side of the line
    if (dy == 0 || dx == 0) {
        const bool across = dy == 0;
        const int64_t line = across ? from.Y : from.X;
        const int64_t lo = across ? std::min(from.X, to.X) : std::min(from.Y, to.Y);
        const int64_t hi = across ? std::max(from.X, to.X) : std::max(from.Y, to.Y);
        if (across) {
            for (int64_t y = std::max<int64_t>(line - before, 0);
                 y < std::min<int64_t>(line - before + width, bitmap.Height()); ++y)
                FillSpan64(bitmap, y, lo, hi, index);
        } else {
            for (int64_t y = std::max<int64_t>(lo, 0); y <= std::min<int64_t>(hi, bitmap.Height() - 1); ++y)
                FillSpan64(bitmap, y, line - before, line - before + width - 1, index);
        }
        return;
    }

    // The components of n = (-dy, dx) w / 2L, rounded; n's x component is positive when
    // dy < 0, and then n is the offset rounded outward.
    const TScaledOffset across(dx, dy, width);
    const bool nOutward = dy < 0;
    auto rounded = [&](int64_t c, bool out) {
        const int64_t magnitude = out ? across.Floor(c) + 1 : across.Nearest(c);
        return c < 0 ? -magnitude : magnitude;
    };
    const int64_t ox = rounded(-dy, nOutward), oy = rounded(dx, nOutward);
    const int64_t px = rounded(dy, !nOutward), py = rounded(-dx, !nOutward);
    const int64_t cx[4] = {from.X + ox, to.X + ox, to.X + px, from.X + px};
    const int64_t cy[4] = {from.Y + oy, to.Y + oy, to.Y + py, from.Y + py};

    // The parallelogram by the polygon rule: each row's crossings of its (at most four)
    // edges, sorted, and the spans where the winding count is not zero.
    const int64_t top = std::max<int64_t>(*std::min_element(cy, cy + 4), 0);
    const int64_t bottom = std::min<int64_t>(*std::max_element(cy, cy + 4), bitmap.Height());
    if (top >= bottom) return;
    struct TBandEdge {
        TEdgeStepper Crossing;
        int64_t First, Last;  // rows [First, Last)
        int Direction;
    };
    TBandEdge edges[4];
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        if (cy[i] == cy[j]) continue;
        const bool down = cy[i] < cy[j];
        const int a = down ? i : j, b = down ? j : i;
        const int64_t first = std::max(cy[a], top), last = std::min(cy[b], bottom);
        if (first >= last) continue;
        edges[count++] =
            TBandEdge{TEdgeStepper::At(cx[a], cy[a], cx[b], cy[b], first - cy[a], true), first, last, down ? 1 : -1};
    }
    for (int64_t y = top; y < bottom; ++y) {
        std::pair<int64_t, int> crossings[4];
        int n = 0;
        for (int i = 0; i < count; ++i) {
            TBandEdge& e = edges[i];
            if (y < e.First || y >= e.Last) continue;
            crossings[n++] = {e.Crossing.Pixel, e.Direction};
            e.Crossing.Step();
        }
        for (int i = 1; i < n; ++i)  // at most four: sorted by insertion
            for (int j = i; j > 0 && crossings[j].first < crossings[j - 1].first; --j)
                std::swap(crossings[j], crossings[j - 1]);
        int winding = 0;
        for (int i = 0; i + 1 < n; ++i) {
            winding += crossings[i].second;
            if (winding != 0) FillSpan64(bitmap, y, crossings[i].first, crossings[i + 1].first - 1, index);
        }
    }
}

void DrawWidePath(TBitmap& bitmap, const TPenDisc& disc, const TPoint* points, int count, bool closed, uint8_t index) {
    if (points == nullptr || count < 1) return;
    for (int i = 0; i < count; ++i) {
        DrawDisc(bitmap, disc, points[i], index);
        if (i + 1 < count)
            DrawBand(bitmap, disc.Width(), points[i], points[i + 1], index);
        else if (closed)
            DrawBand(bitmap, disc.Width(), points[i], points[0], index);
    }
}

void TShortStrokePaths::Prepare(const TPenDisc& disc) {
    if (disc.Width() == FPen) return;
    const int32_t pen = disc.Width();
    const int32_t centre = ShapeReach + pen, side = 2 * centre + 1;
    TBitmap scratch;
    scratch.SetWidth(side);
    scratch.SetHeight(side);
    FRuns.clear();
    FShapeStart.clear();
    for (int32_t dy = -ShapeReach; dy <= ShapeReach; ++dy)
        for (int32_t dx = -ShapeReach; dx <= ShapeReach; ++dx) {
            FShapeStart.push_back(int32_t(FRuns.size()));
            for (int32_t y = 0; y < side; ++y) std::fill(scratch.ScanLine(y), scratch.ScanLine(y) + side, 0);
            const TPoint from{centre, centre}, to{centre + dx, centre + dy};
            DrawBand(scratch, pen, from, to, 1);
            DrawDisc(scratch, disc, to, 1);
            for (int32_t y = 0; y < side; ++y)
                for (int32_t x = 0; x < side;) {
                    if (scratch.PixelIndex(x, y) == 0) {
                        ++x;
                        continue;
                    }
                    int32_t end = x;
                    while (end < side && scratch.PixelIndex(end, y) != 0) ++end;
                    FRuns.push_back(TRun{y - centre, x - centre, end - x});
                    x = end;
                }
        }
    FShapeStart.push_back(int32_t(FRuns.size()));
    FPen = pen;
}

void TShortStrokePaths::DrawPath(TBitmap& bitmap, const TPenDisc& disc, const TPoint* points, int count, bool closed,
                                 uint8_t index) {
    if (points == nullptr || count < 1 || bitmap.Width() == 0 || bitmap.Height() == 0) return;
    if (disc.Width() > ShapePenLimit) {
        DrawWidePath(bitmap, disc, points, count, closed, index);
        return;
    }
    Prepare(disc);
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    // A step starting this far inside keeps all of its shape inside.
    const int32_t margin = ShapeReach + disc.Width();
    uint8_t* const pixels = bitmap.ScanLine(0);
    if (!closed) DrawDisc(bitmap, disc, points[0], index);
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const TPoint from = points[i], to = points[i + 1 < count ? i + 1 : 0];
        const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
        if (uint64_t(dx + ShapeReach) <= uint64_t(2 * ShapeReach) &&
            uint64_t(dy + ShapeReach) <= uint64_t(2 * ShapeReach) && from.X >= margin && from.Y >= margin &&
            from.X < width - margin && from.Y < height - margin) {
            const std::size_t shape = std::size_t((dy + ShapeReach) * (2 * ShapeReach + 1) + dx + ShapeReach);
            uint8_t* const at = pixels + std::size_t(from.Y) * std::size_t(width) + std::size_t(from.X);
            for (int32_t r = FShapeStart[shape]; r < FShapeStart[shape + 1]; ++r) {
                const TRun& run = FRuns[std::size_t(r)];
                FillRun(at + int64_t(run.Row) * width + run.Left, std::size_t(run.Length), index);
            }
        } else {
            DrawBand(bitmap, disc.Width(), from, to, index);
            DrawDisc(bitmap, disc, to, index);
        }
    }
}

}  // namespace gridloom
