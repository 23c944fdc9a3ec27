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
    // a row does not matter, as the crossings are sorted.
    const std::size_t rows = std::size_t(bottom - top);
    FRowStart.assign(rows + 1, 0);
    auto rowsOf = [&](TPoint a, TPoint b, int32_t& first, int32_t& last) {
        const int32_t ya = std::min(a.Y, b.Y), yb = std::max(a.Y, b.Y);
        first = std::max(ya, top);
        last = std::min(yb, bottom);
        return first < last;
    };
    int32_t first = 0, last = 0;
    for (int i = 0; i < count; ++i)
        if (rowsOf(points[i == 0 ? count - 1 : i - 1], points[i], first, last)) ++FRowStart[std::size_t(first - top) + 1];
    for (std::size_t r = 0; r < rows; ++r) FRowStart[r + 1] += FRowStart[r];
    if (FEdges.size() < std::size_t(FRowStart[rows])) FEdges.resize(std::size_t(FRowStart[rows]));
    for (int i = 0; i < count; ++i) {
        const TPoint from = points[i == 0 ? count - 1 : i - 1], to = points[i];
        if (!rowsOf(from, to, first, last)) continue;
        const bool down = from.Y < to.Y;
        const TPoint a = down ? from : to, b = down ? to : from;
        FEdges[std::size_t(FRowStart[std::size_t(first - top)]++)] =
            TEdge{TEdgeStepper::At(a.X, a.Y, b.X, b.Y, int64_t(first) - a.Y), last, down ? 1 : 0};
    }
    // The scatter moved each row's start on to the next row's; move them back.
    for (std::size_t r = rows; r > 0; --r) FRowStart[r] = FRowStart[r - 1];
    FRowStart[0] = 0;

    FActive.clear();
    const int64_t pixelLimit = bitmap.Width();
    auto cross = [&](const TEdge& e) {
        FCrossings.push_back(uint32_t(std::clamp<int64_t>(e.Crossing.Pixel, 0, pixelLimit)) * 2 + uint32_t(e.Down));
    };
    for (int32_t y = top; y < bottom; ++y) {
        FCrossings.clear();
        std::size_t kept = 0;
        for (TEdge& e : FActive) {
            cross(e);
            if (y + 1 < e.BottomRow) {
                e.Crossing.Step();
                FActive[kept++] = e;
            }
        }
        FActive.resize(kept);
        const std::size_t r = std::size_t(y - top);
        for (int32_t i = FRowStart[r]; i < FRowStart[r + 1]; ++i) {
            TEdge e = FEdges[std::size_t(i)];
            cross(e);
            if (y + 1 < e.BottomRow) {
                e.Crossing.PrepareSteps();
                e.Crossing.Step();
                FActive.push_back(e);
            }
        }
        FillRow(bitmap, y, mode, index);
    }
}

void TPolygonFill::FillRow(TBitmap& bitmap, int32_t row, TPolyFillMode mode, uint8_t index) {
    uint32_t* const c = FCrossings.data();
    const std::size_t n = FCrossings.size();
    // Most rows cross a handful of edges, which insertion sorts quickest. The direction bit
    // takes part in the order, harmlessly: crossings on the same pixel may come in any
    // order without changing the spans between them.
    if (n <= 16) {
        for (std::size_t i = 1; i < n; ++i)
            for (std::size_t j = i; j > 0 && c[j] < c[j - 1]; --j) std::swap(c[j], c[j - 1]);
    } else {
        std::sort(c, c + n);
    }
    uint8_t* const line = bitmap.ScanLine(row);
    int winding = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        winding += mode == TPolyFillMode::Alternate ? 1 : (c[i] & 1) != 0 ? 1 : -1;
        const bool inside = mode == TPolyFillMode::Alternate ? (winding & 1) != 0 : winding != 0;
        // Crossings are held to [0, width] already.
        const uint32_t left = c[i] >> 1, right = c[i + 1] >> 1;
        if (inside && right > left) FillRun(line + left, right - left, index);
    }
}

}  // namespace gridloom
