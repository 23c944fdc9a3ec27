// The table of labels that the two text backends are compared on: every face, size and style
// a user is likely to pick, each drawn in a band of its own on one 8-bit picture as the grid
// draws its labels (opaque cells, red on navy; left-aligned, centred and right-aligned text).
// The picture drawn by the Windows build under Wine and the one drawn by the Linux build are
// compared band by band; a band marked exact must match in every pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Graphics.h"

namespace gridloom {

class TBitmap;

struct TLabelRow {
    TFont Font;
    std::string Description;  // face, points and style, as the report names the band
    bool Exact = true;        // a difference in this band is a fault, not a known gap
    int32_t Top = 0;          // the band's rows in the picture: [Top, Top + Height)
    int32_t Height = 0;
};

// The bands, top to bottom, with their places in the picture.
std::vector<TLabelRow> LabelTable();

// Width and height of the picture that holds the table.
int32_t LabelTableWidth();
int32_t LabelTableHeight(const std::vector<TLabelRow>& rows);

// Draws every band onto bitmap, which is resized to the table's picture.
void DrawLabelTable(TBitmap& bitmap, const std::vector<TLabelRow>& rows);

// An 8-bit BMP's pixels, top row first, or empty with Error set when the file is not one.
struct TIndexedPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
    std::string Error;
};
TIndexedPicture ReadIndexedBmp(const std::string& path);

}  // namespace gridloom
