// Small bitmaps for pixel-level checks, pictures of them as rows of characters, and the
// canvas's drawing rules written out plainly, pixel by pixel, to check the rasterizer by.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "render/RasterMath.h"
#include "render/Bitmap.h"

namespace gridloom {

// Paper is the background; ink is the pen; fill is the brush.
inline const uint8_t Paper = PaletteIndexOf(clWhite);
inline const uint8_t Ink = PaletteIndexOf(clBlack);
inline const uint8_t Fill = PaletteIndexOf(clGreen);

class TestBitmap : public TBitmap {
public:
    TestBitmap(int32_t width, int32_t height) {
        Canvas().Brush.Color = clWhite;
        SetWidth(width);
        SetHeight(height);
        Canvas().Pen.Color = clBlack;
        Canvas().Brush.Color = clGreen;
    }
};

// '.' paper, '#' ink, 'o' fill, '?' anything else.
inline std::string Render(const TBitmap& b) {
    std::string s;
    for (int32_t y = 0; y < b.Height(); ++y) {
        for (int32_t x = 0; x < b.Width(); ++x) {
            const uint8_t i = b.PixelIndex(x, y);
            s += i == Paper ? '.' : i == Ink ? '#' : i == Fill ? 'o' : '?';
        }
        s += '\n';
    }
    return s;
}

// The rows given, padded with paper to the full size.
inline std::string Picture(const std::vector<std::string>& rows, int width, int height) {
    std::string s;
    for (int y = 0; y < height; ++y) {
        std::string row = y < int(rows.size()) ? rows[std::size_t(y)] : std::string();
        row.resize(std::size_t(width), '.');
        s += row + '\n';
    }
    return s;
}

inline int CountIndex(const TBitmap& b, uint8_t index) {
    int n = 0;
    for (int32_t y = 0; y < b.Height(); ++y)
        for (int32_t x = 0; x < b.Width(); ++x) n += b.PixelIndex(x, y) == index;
    return n;
}

// The pixels of a w x h window lit by a drawing, row by row.
struct TMask {
    int Width = 0, Height = 0;
    std::vector<char> Lit;
    TMask(int w, int h) : Width(w), Height(h), Lit(std::size_t(w) * std::size_t(h), 0) {}
    void Set(int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < Width && y < Height) Lit[std::size_t(y * Width + x)] = 1;
    }
    bool At(int x, int y) const { return Lit[std::size_t(y * Width + x)] != 0; }
    int Count() const { return int(std::count(Lit.begin(), Lit.end(), 1)); }
};

// Where a bitmap holds the index, as a mask.
inline TMask MaskOf(const TBitmap& b, uint8_t index) {
    TMask m(b.Width(), b.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.PixelIndex(x, y) == index) m.Set(x, y);
    return m;
}

// The compiler's 128-bit integer, or on 32-bit targets our own (tested against it elsewhere).
using TExact = TWide;

inline TExact ExactCeilDiv(TExact a, TExact b) {  // b > 0
    const TExact q = a / b;
    return q + (a % b != 0 && a > 0 ? 1 : 0);
}

// A 1-pixel line: for every step k = 0 .. length - 1 along the major axis, the minor
// coordinate of the exact line, rounded to nearest with a tie going to the smaller one.
inline void AddLine(TMask& m, TPoint from, TPoint to) {
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t a0 = xMajor ? from.X : from.Y, b0 = xMajor ? from.Y : from.X;
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t length = std::llabs(da), sa = da > 0 ? 1 : -1;
    // Only the steps that land inside the window can light anything.
    const int64_t extent = xMajor ? m.Width : m.Height;
    for (int64_t a = 0; a < extent; ++a) {
        const int64_t k = (a - a0) * sa;
        if (k < 0 || k >= length) continue;
        // b0 + db k / length, less a half, rounded up: ties go down.
        const TExact b = ExactCeilDiv(2 * (TExact(b0) * length + TExact(db) * k) - length, 2 * TExact(length));
        if (xMajor)
            m.Set(a, int64_t(b));
        else
            m.Set(int64_t(b), a);
    }
}

// The fill: pixel (x, y) is inside when the winding number (or crossing count) of the
// point (x, y) is non-zero (odd), counting the edges with ymin <= y < ymax whose crossing
// lies at or left of x.
inline bool InsideAt(const std::vector<std::pair<int64_t, int64_t>>& p, int64_t x, int64_t y, bool winding = true) {
    int wind = 0, crossings = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        auto a = p[i], b = p[(i + 1) % p.size()];
        if (a.second == b.second) continue;
        const bool down = a.second < b.second;
        if (!down) std::swap(a, b);
        if (y < a.second || y >= b.second) continue;
        // x0 + (y - y0) (x1 - x0) / (y1 - y0) <= x
        if (TExact(y - a.second) * (b.first - a.first) <= TExact(x - a.first) * (b.second - a.second)) {
            wind += down ? 1 : -1;
            ++crossings;
        }
    }
    return winding ? wind != 0 : crossings % 2 != 0;
}

inline void AddFill(TMask& m, const std::vector<std::pair<int64_t, int64_t>>& p, bool winding = true) {
    for (int y = 0; y < m.Height; ++y)
        for (int x = 0; x < m.Width; ++x)
            if (InsideAt(p, x, y, winding)) m.Set(x, y);
}

inline std::vector<std::pair<int64_t, int64_t>> Corners(const std::vector<TPoint>& points) {
    std::vector<std::pair<int64_t, int64_t>> c;
    for (const TPoint& q : points) c.push_back({q.X, q.Y});
    return c;
}

// The pen's disc as runs relative to its pixel: {row, left, right}. Odd widths walk the
// classic midpoint circle from d = 1 - R; even ones take, for u = 1/2, 3/2, ..., the row
// v = 1/2 + the largest k with k^2 < R^2 - u^2 (the first, (1/2, R), always), while u <= v.
struct TDiscRun {
    int64_t Row, Left, Right;
};
inline std::vector<TDiscRun> DiscRuns(int width) {
    std::vector<TDiscRun> runs;
    // Each octant point (u, v) and its mirror (v, u) give the runs [-u, u] on rows +-v.
    if (width % 2 != 0) {
        const int64_t r = (width - 1) / 2;
        int64_t x = 0, y = r, d = 1 - r;
        while (x <= y) {
            for (int64_t row : {y, -y}) runs.push_back({row, -x, x});
            for (int64_t row : {x, -x}) runs.push_back({row, -y, y});
            if (d < 0) {
                d += 2 * x + 3;
            } else {
                d += 2 * (x - y) + 5;
                --y;
            }
            ++x;
        }
    } else {
        const double r = (width - 1) / 2.0;
        for (int64_t i = 0;; ++i) {
            const double u = i + 0.5;
            int64_t k = -1;
            while (double(k + 1) * double(k + 1) < r * r - u * u) ++k;
            if (i == 0) k = (width - 2) / 2;
            if (k < 0 || i > k) break;
            // Half-integer offsets t lie on pixel t - 1/2 from the pixel: rows k and -1 - k,
            // columns -1 - i .. i.
            for (int64_t row : {k, -1 - k}) runs.push_back({row, -1 - i, i});
            for (int64_t row : {i, -1 - i}) runs.push_back({row, -1 - k, k});
        }
    }
    return runs;
}

inline void AddDisc(TMask& m, TPoint c, int width) {
    for (const TDiscRun& run : DiscRuns(width))
        for (int64_t x = run.Left; x <= run.Right; ++x) m.Set(c.X + x, c.Y + run.Row);
}

// The band between two points, by the rule of the wide pens (see RasterStroke.h).
inline void AddBand(TMask& m, TPoint from, TPoint to, int width) {
    const int64_t dx = int64_t(to.X) - from.X, dy = int64_t(to.Y) - from.Y;
    if (dx == 0 && dy == 0) return;
    if (dx == 0 || dy == 0) {
        for (int y = 0; y < m.Height; ++y)
            for (int x = 0; x < m.Width; ++x) {
                const int64_t along = dy == 0 ? x : y, across = dy == 0 ? y : x;
                const int64_t lo = dy == 0 ? std::min(from.X, to.X) : std::min(from.Y, to.Y);
                const int64_t hi = dy == 0 ? std::max(from.X, to.X) : std::max(from.Y, to.Y);
                const int64_t line = int64_t(dy == 0 ? from.Y : from.X) - width / 2;
                if (along >= lo && along <= hi && across >= line && across < line + width) m.Set(x, y);
            }
        return;
    }
    const long double l = std::hypot((long double)dx, (long double)dy);
    const long double nx = -(long double)dy * width / 2 / l, ny = (long double)dx * width / 2 / l;
    auto outward = [](long double v) { return int64_t(v > 0 ? std::floor(v) + 1 : -(std::floor(-v) + 1)); };
    auto nearest = [](long double v) { return int64_t(std::round(v)); };
    const bool nOut = nx > 0;
    const int64_t ox = nOut ? outward(nx) : nearest(nx), oy = nOut ? outward(ny) : nearest(ny);
    const int64_t px = nOut ? nearest(-nx) : outward(-nx), py = nOut ? nearest(-ny) : outward(-ny);
    AddFill(m,
            {{from.X + ox, from.Y + oy}, {to.X + ox, to.Y + oy}, {to.X + px, to.Y + py}, {from.X + px, from.Y + py}});
}

inline void AddStroke(TMask& m, TPoint from, TPoint to, int width) {
    if (width <= 1) {
        AddLine(m, from, to);
        return;
    }
    AddDisc(m, from, width);
    AddDisc(m, to, width);
    AddBand(m, from, to, width);
}

}  // namespace gridloom
