// One-pixel lines.
//
// A line steps along its major axis (x when |dx| >= |dy|, else y) from its start pixel,
// one pixel per step, and stops before its end pixel; a zero-length line draws nothing.
// At each step the minor coordinate is the exact line's value rounded to nearest, and an
// exact half-way value goes to the smaller coordinate (up for a line mostly across, left
// for one mostly down), whichever way the line is drawn. Reversing a line therefore
// changes only which end pixel is left out.
//
// Lines are clipped to the bitmap before any stepping: a clipped line lights exactly the
// pixels of the unclipped one that fall inside, and the work never grows with how far
// outside the bitmap its ends lie.
#pragma once

#include <cstdint>
#include <vector>

#include "render/Canvas.h"

namespace gridloom {

class TBitmap;

void DrawLine1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index);

// The lines from each point to the next; a closed path adds the line from the last point
// back to the first, so that every vertex is lit.
void DrawPath1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index);

// The same paths, quicker: a map outline is mostly steps of a pixel or two, for which
// setting up a line costs more than its pixels. Steps of up to ShortReach pixels either
// way with both ends inside the bitmap are written from a table of their pixels' offsets,
// made by DrawLine1 itself for the bitmap's row length; every other step is DrawLine1.
class TShortLinePaths {
public:
    void DrawPath(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index);

private:
    static constexpr int32_t ShortReach = 8;
    void Prepare(int32_t stride);
    int32_t FStride = -1;           // the row length the table was made for
    std::vector<int64_t> FOffsets;  // ShortReach per step, the last repeated for shorter ones
};

}  // namespace gridloom
