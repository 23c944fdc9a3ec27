// Small bitmaps for pixel-level checks, and pictures of them as rows of characters.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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

}  // namespace gridloom
