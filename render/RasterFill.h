// Polygon fill.
//
// The vertices are pixel centres: pixel (x, y) is filled when the point (x, y) lies inside
// the polygon by the fill rule. On row y, an edge with ymin <= y < ymax crosses at
//   X = x0 + (y - y0) (x1 - x0) / (y1 - y0),
// horizontal edges cross nowhere, and a span between two crossings Xl and Xr that lies
// inside (winding number non-zero, or an odd count of crossings to its left for the
// alternate rule) fills the pixels ceil(Xl) <= x < ceil(Xr). A pixel centre exactly on a
// left or top edge is therefore inside and one on a right or bottom edge outside, so
// polygons sharing an edge never both paint a pixel of it and leave no gap between them,
// and an axis-aligned rectangle fills its top-left corner up to, not including, its far
// column and row.
//
// Edges are set up only for the bitmap's rows they cross, with exact arithmetic, so
// vertices may lie anywhere in the 32-bit range.
#pragma once

#include <cstdint>
#include <vector>

#include "render/Canvas.h"
#include "render/RasterMath.h"

namespace gridloom {

class TBitmap;

// Holds its scratch buffers from call to call, so that filling allocates nothing once they
// have grown to the largest polygon seen.
class TPolygonFill {
public:
    void Fill(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index);

private:
    struct TEdge {
        TNarrowEdgeStepper Crossing;
        int32_t BottomRow;  // the first row the edge no longer crosses
        uint32_t Down;      // 1 when the edge runs downwards, for the winding count
    };
    // Sorts the first n of FCrossings and paints the spans between them.
    void FillRow(TBitmap& bitmap, int32_t row, std::size_t n, TPolyFillMode mode, uint8_t index);
    void SortLong(uint32_t* crossings, std::size_t n);

    std::vector<int32_t> FRowStart;  // where each row's new edges begin in FEdges
    std::vector<TEdge> FEdges;       // edges of two rows or more, grouped by their first row
    std::vector<int32_t> FSingleStart;
    std::vector<uint32_t> FSingles;    // crossings of edges of one row, grouped by row
    std::vector<TEdge> FActive;        // edges still crossing rows after their first
    std::vector<uint32_t> FCrossings;  // one row's crossings: pixel * 2 + Down
    std::vector<uint32_t> FSortBuffer, FDigitCount;
};

}  // namespace gridloom
