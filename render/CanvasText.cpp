// The text half of the canvas: measuring and writing labels through the shared renderer.
#include <algorithm>
#include <cstdint>

#include "render/Bitmap.h"
#include "render/Canvas.h"
#include "render/RasterOps.h"
#include "render/TextRenderer.h"

namespace gridloom {

TTextRenderer& TCanvas::Text() {
    if (!FText) FText = TTextRenderer::Shared();
    return *FText;
}

int TCanvas::TextWidth(std::string_view text) { return Text().TextWidth(Font, text); }

// The cell is as high as the font whatever the text, as on Windows: labels of one font
// line up whether or not they have descenders.
int TCanvas::TextHeight(std::string_view) { return Text().Metrics(Font).Height(); }

void TCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    TTextRenderer& renderer = Text();
    const int64_t w = renderer.TextWidth(Font, text);
    const int64_t h = renderer.Metrics(Font).Height();
    // Opaque text: the cell is cleared to the brush first, so a label stays readable over
    // coastlines and grid lines alike. The far corner is held inside the 32-bit range.
    auto clampEnd = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    FillRect(FBitmap, x, y, clampEnd(x + w), clampEnd(y + h), PaletteIndexOf(Brush.Color));
    renderer.DrawText(FBitmap, x, y, Font, text);
}

}  // namespace gridloom
