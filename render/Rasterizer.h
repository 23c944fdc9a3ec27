// The pixel engine behind TCanvas: 1-pixel lines, wide strokes and scanline polygon fill,
// all clipped to the bitmap. A canvas holds one rasterizer so that its scratch buffers
// are reused from call to call: drawing allocates nothing per polygon or per point once
// the buffers have grown to the largest polygon seen.
//
// Pixel conventions
//  - 1-pixel lines step from the start pixel towards the end pixel, one pixel per column
//    (or per row for steep lines), the end pixel excluded; where the ideal line passes
//    exactly half-way between two pixels the one nearer the start wins. A zero-length
//    line draws nothing.
//  - A pen of width 2 or more lights every pixel whose centre lies within width/2 of
//    the segment between the two pixel centres (round caps). Even widths therefore draw
//    as the next odd width along horizontal and vertical lines, as no pixel row can be
//    centred on a pixel. A zero-length wide line draws the round dot.
//  - Widths below 1 draw as 1. Widths so large that a single dot would cover the whole
//    bitmap (more than twice its diagonal) draw as that size, which looks the same.
//  - The fill samples every pixel at its centre (x + 0.5, y + 0.5), polygon vertices
//    being pixel corners. A centre exactly on an edge belongs to the polygon on the
//    edge's right (or below a horizontal edge), so polygons sharing an edge never both
//    paint a pixel of it and leave no gap between them.
//  - Coordinates may span the whole 32-bit range: lines are clipped before stepping and
//    polygon edges to the bitmap's rows, so work never grows with how far outside the
//    bitmap a point lies, and all intermediate arithmetic is exact.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "render/Canvas.h"

namespace gridloom {

class TBitmap;

class TRasterizer {
public:
    // From one point to the other; for a 1-pixel pen the end pixel stays unlit.
    void Line(TBitmap& bitmap, TPoint from, TPoint to, int32_t penWidth, uint8_t index);

    // Connected lines through the points; for a 1-pixel pen the last point stays unlit.
    void Polyline(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index);

    // The interior of the closed polygon by the fill rule.
    void FillPolygon(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index);

    // The closed outline, closing edge included; every vertex is lit.
    void OutlinePolygon(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index);

    // The width a pen actually draws with on this bitmap (see the conventions above).
    static int32_t EffectivePenWidth(const TBitmap& bitmap, int32_t penWidth);

    // When false, every line and fill goes through the general routines, which handle any
    // coordinates, rather than the quicker ones for the common cases (straight lines, short
    // segments inside the bitmap, polygons of ordinary coordinates). The results are the
    // same pixel for pixel; the switch exists so that this can be checked.
    bool Shortcuts = true;

private:
    // An edge crossing the current row: its crossing pixel is Quotient, stepped exactly
    // from row to row by the remainder arithmetic of a DDA.
    struct TActiveEdge {
        int64_t Quotient;
        int64_t Remainder;
        int64_t QuotientStep;
        int64_t RemainderStep;
        int64_t Divisor;
        int32_t BottomRow;  // first row the edge no longer crosses
        int32_t Direction;  // +1 downwards, -1 upwards, for the winding count
    };

    void PreparePen(int32_t penWidth);
    void Stroke(TBitmap& bitmap, TPoint from, TPoint to, int32_t width, uint8_t index, bool startDisc);
    void StrokeStraight(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index, bool startDisc);
    void Segment1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index);
    void Path1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index);
    void PathWide(TBitmap& bitmap, const TPoint* points, int count, bool closed, int32_t penWidth, uint8_t index);
    void PrepareShortSegments(int32_t width);
    void FillGeneral(TBitmap& bitmap, const TPoint* points, int count, int32_t top, int32_t bottom,
                     TPolyFillMode mode, uint8_t index);
    void FillNarrow(TBitmap& bitmap, const TPoint* points, int count, int32_t top, int32_t bottom,
                    TPolyFillMode mode, uint8_t index);
    void FillSpans(TBitmap& bitmap, int32_t row, std::size_t count, TPolyFillMode mode, uint8_t index);

    // 1-pixel segments within ShortReach pixels either way, inside the bitmap, are drawn
    // from a table: the offsets of their pixels from the first, the last one repeated for
    // shorter segments, so that every such segment is a few plain stores.
    static constexpr int32_t ShortReach = 8;
    int32_t FShortWidth = -1;  // the row stride FShortOffsets was made for
    std::vector<int64_t> FShortOffsets;  // ShortReach per segment

    int32_t FDiscWidth = 0;                // the pen width FDiscHalfWidth was made for
    std::vector<int32_t> FDiscHalfWidth;   // the pen's disc: half-width of its row k from the centre
    // Ready-made strokes of the segments up to ShapeReach pixels long in each direction,
    // for pens up to ShapePenLimit wide: rows of [left, right] relative to the start.
    static constexpr int32_t ShapeReach = 4;
    static constexpr int32_t ShapePenLimit = 64;
    struct TShape {
        int32_t FirstRow;   // relative to the segment's start
        int32_t RowCount;
        int32_t FirstSpan;  // into FShapeRows
    };
    std::vector<TShape> FShapes;
    std::vector<std::pair<int32_t, int32_t>> FShapeRows;
    // The same shapes less what only the pen's disc at their start covers, as the previous
    // segment of a path has drawn that disc whole (every segment draws its end disc whole):
    // offsets from the start pixel in a bitmap FCrescentStride wide, for segments well
    // inside the bitmap.
    void PrepareCrescents(int32_t stride);
    int32_t FCrescentStride = -1;
    int32_t FCrescentPen = 0;
    // Runs of pixels as stores of 1, 2, 4 and 8 bytes: the offsets of each size, and where
    // each shape's begin among them (one more at the end).
    std::vector<int32_t> FCrescentStart[4];
    std::vector<int64_t> FCrescentOffsets[4];

    // An edge of a polygon whose coordinates all lie well within 32 bits: the same DDA as
    // TActiveEdge in half the room, made once in a sequential pass over the points and
    // stored grouped by first row, so that each row reads its new edges in address order.
    struct TEdge {
        int32_t X;  // the crossing pixel on the current row
        int32_t Remainder;
        int32_t Step;
        int32_t RemainderStep;
        int32_t Divisor;
        int32_t BottomDown;  // first row no longer crossed, times two, plus one if downwards
    };
    std::vector<TEdge> FEdges;          // edges of two rows or more, grouped by first row (FRowStart)
    std::vector<uint32_t> FKeys;        // crossings of shorter edges, grouped by row (FKeyStart)
    std::vector<int32_t> FKeyStart;
    std::vector<TEdge> FActiveEdges;    // the ones still crossing rows after their first

    std::vector<int32_t> FRowStart;     // where each row's edges begin in FEdgeOrder
    std::vector<int32_t> FEdgeOrder;    // edge numbers grouped by the first row they cross
    std::vector<TActiveEdge> FActive;   // edges crossing the current row
    std::vector<uint32_t> FCrossings;   // one row's crossings: pixel * 2 + (direction > 0)
    std::vector<uint32_t> FSortBuffer;  // the other half of the crossings' radix sort
};

}  // namespace gridloom
