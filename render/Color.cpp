#include "render/Color.h"

namespace gridloom {

const TColor DefaultPalette[DefaultPaletteSize] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
    RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
    RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
};

uint8_t PaletteIndexOf(TColor color) {
    // Only the RGB bytes take part: a stray high byte must not turn a palette colour
    // into "nearest" and move it to a different entry.
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        const int dr = r - GetRValue(DefaultPalette[i]);
        const int dg = g - GetGValue(DefaultPalette[i]);
        const int db = b - GetBValue(DefaultPalette[i]);
        const long distance = long(dr) * dr + long(dg) * dg + long(db) * db;
        if (distance == 0) return uint8_t(i);
        // Strictly smaller only: on a tie the earlier entry wins, so the choice is stable.
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return uint8_t(best);
}

}  // namespace gridloom
