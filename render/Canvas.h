// A drawing surface over an 8-bit palettised bitmap, with the pen, brush, font and
// current position of the classic Windows canvas, and its pixel conventions (pixel (x, y)
// is the one whose centre is the point (x, y)):
//  - a 1-pixel line lights the pixels from its start up to, but not including, its end,
//    a half-way tie going to the smaller coordinate (RasterLine.h);
//  - a wider pen strokes each segment as a midpoint disc at either end and a band between
//    them (RasterStroke.h);
//  - a polygon fills the pixels whose centres are inside, vertices on pixel centres, with
//    the top-left rule for centres on an edge, then is outlined (RasterFill.h);
//  - no anti-aliasing: every pixel is one palette index.
// Coordinates may lie anywhere in the 32-bit range; everything is clipped to the bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "render/Color.h"
#include "render/Font.h"

namespace gridloom {

class TBitmap;
class TRasterizer;
class TTextRenderer;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

enum class TPenStyle { Solid };

struct TPen {
    TColor Color = clBlack;
    int32_t Width = 1;  // pixels; anything below 1 draws as 1
    TPenStyle Style = TPenStyle::Solid;
};

struct TBrush {
    TColor Color = clWhite;
};

enum class TPolyFillMode {
    Alternate,  // even-odd
    Winding,    // non-zero
};

class TCanvas {
public:
    explicit TCanvas(TBitmap& bitmap);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPolyFillMode PolyFillMode = TPolyFillMode::Alternate;

    TPoint PenPos() const { return FPenPos; }
    void MoveTo(int32_t x, int32_t y);
    // Draws from the current position to (x, y), end pixel excluded for a 1-pixel pen,
    // and makes (x, y) the current position.
    void LineTo(int32_t x, int32_t y);

    // Fills the closed polygon with the brush by PolyFillMode, then outlines it,
    // closing edge included, with the pen.
    void Polygon(const TPoint* points, int count);
    // The connected lines through the points with the pen; no fill; last pixel excluded.
    void Polyline(const TPoint* points, int count);

    // Size of the text's cell in the current font, in pixels.
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    // Fills the cell (x, y, TextWidth, TextHeight) with the brush colour, then draws the
    // glyphs in the font colour with the baseline at y + ascent.
    void TextOut(int32_t x, int32_t y, std::string_view text);

private:
    TTextRenderer& Text();

    TBitmap& FBitmap;
    TPoint FPenPos;
    std::unique_ptr<TRasterizer> FRaster;  // scratch buffers reused from call to call
    std::shared_ptr<TTextRenderer> FText;  // made on first use; caches glyphs per font
};

}  // namespace gridloom
