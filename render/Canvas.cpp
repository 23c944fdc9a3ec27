#include "render/Canvas.h"

#include "render/Bitmap.h"
#include "render/Rasterizer.h"

namespace gridloom {

TCanvas::TCanvas(TBitmap& bitmap) : FBitmap(bitmap), FRaster(std::make_unique<TRasterizer>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int32_t x, int32_t y) { FPenPos = TPoint{x, y}; }

void TCanvas::LineTo(int32_t x, int32_t y) {
    const TPoint to{x, y};
    FRaster->Line(FBitmap, FPenPos, to, Pen.Width, PaletteIndexOf(Pen.Color));
    FPenPos = to;
}

void TCanvas::Polygon(const TPoint* points, int count) {
    // The outline goes on after the fill so that it is never painted over by the brush.
    FRaster->FillPolygon(FBitmap, points, count, PolyFillMode, PaletteIndexOf(Brush.Color));
    FRaster->OutlinePolygon(FBitmap, points, count, Pen.Width, PaletteIndexOf(Pen.Color));
}

void TCanvas::Polyline(const TPoint* points, int count) {
    FRaster->Polyline(FBitmap, points, count, Pen.Width, PaletteIndexOf(Pen.Color));
}

}  // namespace gridloom
