#include "render/RasterFill.h"

#include <algorithm>

#include "render/Bitmap.h"
#include "render/RasterOps.h"

namespace gridloom {

// A scanline fill: edges are bucketed by the first bitmap row they cross and join the list
// of active edges there, so only one row's crossings are held at a time.
void TPolygonFill::Fill(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index) {
    const int32_t height = bitmap.Height();
    if (points == nullptr || count < 3 || bitmap.Width() == 0 || height == 0) return;

    int32_t minY = points[0].Y, maxY = points[0].Y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].Y);
        maxY = std::max(maxY, points[i].Y);
    }
    const int32_t top = std::max(minY, 0);
    const int32_t bottom = std::min(maxY, height);  // rows [top, bottom)
    if (top >= bottom) return;

    // Edge i runs from point i - 1 to point i, the closing edge first; their order within
    // a row does not matter, as the crossings are sorted. Most edges of a map outline
    // cross a single row: those are kept as just their crossing, and only taller edges as
    // records that join the list of active edges.
    const uint32_t pixelLimit = uint32_t(bitmap.Width());
    auto key = [pixelLimit](int64_t pixel, bool down) {
        return uint32_t(std::clamp<int64_t>(pixel, 0, pixelLimit)) * 2 + uint32_t(down);
    };
    const std::size_t rows = std::size_t(bottom - top);
    FRowStart.assign(rows + 1, 0);
    FSingleStart.assign(rows + 1, 0);
    auto rowsOf = [&](TPoint a, TPoint b, int32_t& first, int32_t& last) {
        const int32_t ya = std::min(a.Y, b.Y), yb = std::max(a.Y, b.Y);
        first = std::max(ya, top);
        last = std::min(yb, bottom);
        return first < last;
    };
    int32_t first = 0, last = 0;
    for (int i = 0; i < count; ++i)
        if (rowsOf(points[i == 0 ? count - 1 : i - 1], points[i], first, last))
            ++(last - first > 1 ? FRowStart : FSingleStart)[std::size_t(first - top) + 1];
    for (std::size_t r = 0; r < rows; ++r) {
        FRowStart[r + 1] += FRowStart[r];
        FSingleStart[r + 1] += FSingleStart[r];
    }
    if (FEdges.size() < std::size_t(FRowStart[rows])) FEdges.resize(std::size_t(FRowStart[rows]));
    if (FSingles.size() < std::size_t(FSingleStart[rows])) FSingles.resize(std::size_t(FSingleStart[rows]));
    for (int i = 0; i < count; ++i) {
        const TPoint from = points[i == 0 ? count - 1 : i - 1], to = points[i];
        if (!rowsOf(from, to, first, last)) continue;
        const bool down = from.Y < to.Y;
        const TPoint a = down ? from : to, b = down ? to : from;
        const bool tall = last - first > 1;
        const TNarrowEdgeStepper crossing = TNarrowEdgeStepper::At(a.X, a.Y, b.X, b.Y, int64_t(first) - a.Y, tall);
        const std::size_t r = std::size_t(first - top);
        if (tall)
            FEdges[std::size_t(FRowStart[r]++)] = TEdge{crossing, last, uint32_t(down)};
        else
            FSingles[std::size_t(FSingleStart[r]++)] = key(crossing.Pixel, down);
    }
    // The scatter moved each row's start on to the next row's; move them back.
    for (std::size_t r = rows; r > 0; --r) {
        FRowStart[r] = FRowStart[r - 1];
        FSingleStart[r] = FSingleStart[r - 1];
    }
    FRowStart[0] = 0;
    FSingleStart[0] = 0;

    FActive.clear();
    for (int32_t y = top; y < bottom; ++y) {
        const std::size_t r = std::size_t(y - top);
        const std::size_t singles = std::size_t(FSingleStart[r + 1] - FSingleStart[r]);
        const std::size_t fresh = std::size_t(FRowStart[r + 1] - FRowStart[r]);
        const std::size_t active = FActive.size();
        if (FCrossings.size() < singles + active + fresh) FCrossings.resize(singles + active + fresh);
        uint32_t* out = FCrossings.data();
        out = std::copy_n(FSingles.data() + FSingleStart[r], singles, out);
        TEdge* const edges = FActive.data();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < active; ++i) {
            TEdge e = edges[i];
            *out++ = key(e.Crossing.Pixel, e.Down);
            if (y + 1 < e.BottomRow) {
                e.Crossing.Step();
                edges[kept++] = e;
            }
        }
        FActive.resize(kept);
        for (std::size_t i = 0; i < fresh; ++i) {
            TEdge e = FEdges[std::size_t(FRowStart[r]) + i];
            *out++ = key(e.Crossing.Pixel, e.Down);
            e.Crossing.Step();  // tall: it crosses the next row too
            FActive.push_back(e);
        }
        FillRow(bitmap, y, std::size_t(out - FCrossings.data()), mode, index);
    }
}

// A ragged coastline's rows cross the outline hundreds or thousands of times: those are
// sorted by their pixels in a radix sort of 8-bit digits, whose cost grows only linearly
// with their number, leaving out the digits above the largest pixel.
void TPolygonFill::SortLong(uint32_t* c, std::size_t n) {
    constexpr int DigitBits = 8;
    constexpr uint32_t Digits = 1u << DigitBits;
    uint32_t highest = 0;
    for (std::size_t i = 0; i < n; ++i) highest |= c[i];
    if (FSortBuffer.size() < n) FSortBuffer.resize(n);
    uint32_t* from = c;
    uint32_t* to = FSortBuffer.data();
    std::vector<uint32_t>& count = FDigitCount;
    for (int shift = 1; shift < 32 && (highest >> shift) != 0; shift += DigitBits) {
        count.assign(Digits, 0);
        for (std::size_t i = 0; i < n; ++i) ++count[(from[i] >> shift) & (Digits - 1)];
        uint32_t total = 0;
        for (uint32_t& k : count) {
            const uint32_t here = k;
            k = total;
            total += here;
        }
        for (std::size_t i = 0; i < n; ++i) to[count[(from[i] >> shift) & (Digits - 1)]++] = from[i];
        std::swap(from, to);
    }
    if (from != c) std::copy(from, from + n, c);
}

void TPolygonFill::FillRow(TBitmap& bitmap, int32_t row, std::size_t n, TPolyFillMode mode, uint8_t index) {
    uint32_t* const c = FCrossings.data();
    // Most rows cross a handful of edges, which insertion sorts quickest. The direction bit
    // takes part in the order, harmlessly: crossings on the same pixel may come in any
    // order without changing the spans between them.
    if (n <= 16) {
        for (std::size_t i = 1; i < n; ++i) {
            const uint32_t crossing = c[i];
            std::size_t j = i;
            for (; j > 0 && c[j - 1] > crossing; --j) c[j] = c[j - 1];
            c[j] = crossing;
        }
    } else if (n <= 64) {
        std::sort(c, c + n);
    } else {
        SortLong(c, n);
    }
    // Crossings are held to [0, width] already.
    uint8_t* const line = bitmap.ScanLine(row);
    auto span = [&](std::size_t i) {
        const uint32_t left = c[i] >> 1, right = c[i + 1] >> 1;
        if (right > left) FillRun(line + left, right - left, index);
    };
    if (mode == TPolyFillMode::Alternate) {
        for (std::size_t i = 0; i + 1 < n; i += 2) span(i);
        return;
    }
    int winding = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        winding += (c[i] & 1) != 0 ? 1 : -1;
        if (winding != 0) span(i);
    }
}

}  // namespace gridloom
