// The pixel engine behind TCanvas, one primitive to a file: one-pixel lines
// (RasterLine.h), wide strokes (RasterStroke.h) and polygon fill (RasterFill.h), all
// clipped to the bitmap, on coordinates anywhere in the 32-bit range. A canvas holds one
// rasterizer so that the fill's buffers, the pen's disc and the tables of short steps are
// kept from call to call.
//
// Pen widths below 1 draw as 1. Widths so large that a single disc would cover the whole
// bitmap (more than twice its diagonal) draw as that size, which looks the same.
#pragma once

#include <cstdint>
#include <optional>

#include "render/Canvas.h"
#include "render/RasterFill.h"
#include "render/RasterLine.h"
#include "render/RasterStroke.h"

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

    // The width a pen actually draws with on this bitmap (see above).
    static int32_t EffectivePenWidth(const TBitmap& bitmap, int32_t penWidth);

    // When false, paths go through the plain general routines alone rather than the
    // quicker ones for short steps. The pixels are the same; the switch exists so that
    // this can be checked.
    bool Shortcuts = true;

private:
    const TPenDisc& Disc(int32_t width);
    void Path(TBitmap& bitmap, const TPoint* points, int count, bool closed, int32_t penWidth, uint8_t index);

    TPolygonFill FFill;
    std::optional<TPenDisc> FDisc;  // the disc of the pen used last
    TShortLinePaths FShortLines;
    TShortStrokePaths FShortStrokes;
};

}  // namespace gridloom
