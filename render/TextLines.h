// The underline and strike-out of a label: full rows across the text's width, which both
// text backends place where GDI places them (TextRenderer.h) and draw the same way.
#pragma once

#include <cstdint>

#include "platform/Graphics.h"

namespace gridloom {

class TBitmap;

struct TTextLines {
    int UnderlineTop = 0;  // rows below the baseline: 0 is the first row under the glyphs, -1 their last
    int UnderlineThickness = 1;
    int StrikeTop = 0;  // rows above the baseline of the stroke's top row (1: the glyphs' last row)
    int StrikeThickness = 1;
};

// Fills the lines the style asks for over the columns [left, right), clipped to the bitmap.
void DrawTextLines(TBitmap& bitmap, int64_t left, int64_t right, int64_t baseline, TFontStyles style,
                   const TTextLines& lines, uint8_t index);

}  // namespace gridloom
