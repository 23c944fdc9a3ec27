#include "render/Rasterizer.h"

#include <algorithm>
#include <cmath>

#include "render/Bitmap.h"

namespace gridloom {

int32_t TRasterizer::EffectivePenWidth(const TBitmap& bitmap, int32_t penWidth) {
    if (penWidth < 1) return 1;
    const double diagonal =
        std::sqrt(double(bitmap.Width()) * bitmap.Width() + double(bitmap.Height()) * bitmap.Height());
    const int64_t cap = 2 * int64_t(std::ceil(diagonal)) + 2;
    return int32_t(std::min<int64_t>(penWidth, cap));
}

const TPenDisc& TRasterizer::Disc(int32_t width) {
    if (!FDisc || FDisc->Width() != width) FDisc.emplace(width);
    return *FDisc;
}

void TRasterizer::Line(TBitmap& bitmap, TPoint from, TPoint to, int32_t penWidth, uint8_t index) {
    const TPoint ends[] = {from, to};
    Path(bitmap, ends, 2, false, penWidth, index);
}

void TRasterizer::Polyline(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    Path(bitmap, points, count, false, penWidth, index);
}

void TRasterizer::OutlinePolygon(TBitmap& bitmap, const TPoint* points, int count, int32_t penWidth, uint8_t index) {
    if (points == nullptr || count < 2) return;
    Path(bitmap, points, count, true, penWidth, index);
}

void TRasterizer::FillPolygon(TBitmap& bitmap, const TPoint* points, int count, TPolyFillMode mode, uint8_t index) {
    FFill.Fill(bitmap, points, count, mode, index);
}

void TRasterizer::Path(TBitmap& bitmap, const TPoint* points, int count, bool closed, int32_t penWidth, uint8_t index) {
    if (bitmap.Width() == 0 || bitmap.Height() == 0) return;
    const int32_t width = EffectivePenWidth(bitmap, penWidth);
    if (width <= 1) {
        if (Shortcuts)
            FShortLines.DrawPath(bitmap, points, count, closed, index);
        else
            DrawPath1(bitmap, points, count, closed, index);
    } else {
        if (Shortcuts)
            FShortStrokes.DrawPath(bitmap, Disc(width), points, count, closed, index);
        else
            DrawWidePath(bitmap, Disc(width), points, count, closed, index);
    }
}

}  // namespace gridloom
