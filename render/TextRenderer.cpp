// What every text backend shares: the one renderer of the process and the point-to-pixel
// rule.
#include "render/TextRenderer.h"

#include "render/Bitmap.h"
#include "render/TextLines.h"

#include <algorithm>
#include <cstdlib>

namespace gridloom {

namespace {

constexpr int MaxPixelSize = 400;

// Paints rows [top, bottom) of the columns [left, right) in 64-bit coordinates, clipped to
// the bitmap.
void FillClipped(TBitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom, uint8_t index) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, bitmap.Width());
    bottom = std::min<int64_t>(bottom, bitmap.Height());
    for (int64_t y = top; y < bottom; ++y)
        for (int64_t x = left; x < right; ++x) bitmap.ScanLine(int32_t(y))[x] = index;
}

}  // namespace

void DrawTextLines(TBitmap& bitmap, int64_t left, int64_t right, int64_t baseline, TFontStyles style,
                   const TTextLines& lines, uint8_t index) {
    if (style & fsUnderline) {
        const int64_t top = baseline + lines.UnderlineTop;
        FillClipped(bitmap, left, top, right, top + lines.UnderlineThickness, index);
    }
    if (style & fsStrikeOut) {
        const int64_t top = baseline - lines.StrikeTop;
        FillClipped(bitmap, left, top, right, top + lines.StrikeThickness, index);
    }
}

std::shared_ptr<TTextRenderer> TTextRenderer::Shared() {
    static const std::shared_ptr<TTextRenderer> shared = std::make_shared<TTextRenderer>();
    return shared;
}

int TTextRenderer::PixelSize(int32_t points) {
    int64_t pt = points == 0 ? 8 : std::llabs(int64_t(points));
    // points x 4/3 never ends in a half, so rounding half up is rounding to nearest.
    const int64_t px = (pt * 96 + 36) / 72;
    return int(std::clamp<int64_t>(px, 1, MaxPixelSize));
}

}  // namespace gridloom
