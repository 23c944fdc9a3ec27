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

#include "render/Canvas.h"

namespace gridloom {

class TBitmap;

void DrawLine1(TBitmap& bitmap, TPoint from, TPoint to, uint8_t index);

// The lines from each point to the next; a closed path adds the line from the last point
// back to the first, so that every vertex is lit.
void DrawPath1(TBitmap& bitmap, const TPoint* points, int count, bool closed, uint8_t index);

}  // namespace gridloom
