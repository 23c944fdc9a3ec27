// Wide strokes: pens of two pixels and more.
//
// The stroke of a segment is the union of the pen's disc at each end and a band between
// them; a polyline or an outline is the union of its segments' strokes, with no other
// joins or caps.
//
// The disc of a pen w pixels wide is a filled midpoint circle of radius R = (w - 1) / 2.
// For odd w it is centred on the pixel: in the first octant, column offset u = 0, 1, ...
// has row offset v = round(sqrt(R^2 - u^2)), and the points are mirrored across the
// diagonal and both axes. For even w it is centred on the pixel's top-left corner, with
// u and v on half-integers: v = 1/2 + the largest integer k with k^2 < R^2 - u^2, the
// first point (1/2, R) always taken. Width 2 is the 2 x 2 block up and left of the pixel,
// width 3 a plus of five pixels.
//
// The band of a horizontal segment covers rows y - floor(w/2) to y - floor(w/2) + w - 1
// between the two ends; a vertical one the same turned. For any other segment from P0 to
// P1, n = (-dy, dx) (w/2) / |P1 - P0| is the offset across it. Of n and -n, the one whose
// x component is positive is rounded strictly outward, each component to
// sign (floor(|v|) + 1); the other is rounded to nearest, halves away from zero. With
// these offsets o and p, the band is the parallelogram P0 + o, P1 + o, P1 + p, P0 + p,
// filled by the polygon rule (see RasterFill.h).
#pragma once

#include <cstdint>
#include <vector>

#include "render/Canvas.h"

namespace gridloom {

class TBitmap;

// A pen's disc as runs of pixels, row by row, relative to the pixel it is drawn at.
class TPenDisc {
public:
    explicit TPenDisc(int32_t width);

    int32_t Width() const { return FWidth; }
    int32_t FirstRow() const { return FFirstRow; }  // offset of the top row
    int32_t RowCount() const { return int32_t(FLeft.size()); }
    // The columns [Left(i), Right(i)] of row FirstRow() + i.
    int32_t Left(int32_t i) const { return FLeft[std::size_t(i)]; }
    int32_t Right(int32_t i) const { return FRight[std::size_t(i)]; }

private:
    int32_t FWidth;
    int32_t FFirstRow;
    std::vector<int32_t> FLeft, FRight;
};

// Paints the disc centred at p.
void DrawDisc(TBitmap& bitmap, const TPenDisc& disc, TPoint p, uint8_t index);

// Paints the band between two points (nothing when they are the same).
void DrawBand(TBitmap& bitmap, int32_t width, TPoint from, TPoint to, uint8_t index);

// The stroke of every segment of the path: the band of each and the disc at every point.
// A closed path adds the segment from the last point back to the first.
void DrawWidePath(TBitmap& bitmap, const TPenDisc& disc, const TPoint* points, int count, bool closed, uint8_t index);

// The same paths, quicker: the stroke of a step of up to ShapeReach pixels either way,
// its band and its end disc, is the same shape wherever it lies. Those shapes are made
// once per pen by DrawBand and DrawDisc themselves, as runs of pixels, and stamped for
// the steps that lie well inside the bitmap; every other step is drawn by the routines
// above, as are pens wider than ShapePenLimit.
class TShortStrokePaths {
public:
    void DrawPath(TBitmap& bitmap, const TPenDisc& disc, const TPoint* points, int count, bool closed, uint8_t index);

private:
    static constexpr int32_t ShapeReach = 4;
    static constexpr int32_t ShapePenLimit = 64;
    struct TRun {
        int32_t Row, Left, Length;  // relative to the step's start
    };
    void Prepare(const TPenDisc& disc);
    int32_t FPen = 0;  // the pen width the shapes were made for
    std::vector<TRun> FRuns;
    std::vector<int32_t> FShapeStart;  // where each step's runs begin in FRuns, and one past the last
};

}  // namespace gridloom
