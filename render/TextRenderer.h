// Label text: the glyphs of an 8-bit font drawn without anti-aliasing (every pixel of the
// master image is one palette index), through the system's own text backend, chosen by
// CMake: FreeType with faces chosen by fontconfig (TextRendererFreeType.cpp), or GDI on
// Windows (TextRendererGdi.cpp). Both give the metrics Windows gives a font, so that the
// labels land on the same pixels on both systems.
//
// A font of S points is set at round(S x 96 / 72) pixels per em, as a 96-dpi screen shows
// it (11 points -> 15 pixels). A size of 0 means the default 8 points; a negative size is
// taken as its magnitude in points (not, as Windows would, as a character height). Sizes
// are held to 400 pixels per em (300 points), far beyond any label, so that a wild size
// cannot make the glyph cache exhaust memory.
//
// With FreeType, the face is what fontconfig matches for the name with weight bold and
// slant italic from the style, as fc-match would give it: "Arial" is Liberation Sans where
// Arial is absent. A bold or italic request that only a regular face answers is emboldened
// or slanted. The ascent and descent are the OS/2 table's usWinAscent and usWinDescent
// scaled to the pixel size, round(units x ppem / unitsPerEm), each rounded on its own, and
// the text height is their sum (Liberation Sans Bold at 15 pixels: 14 + 3 = 17). A
// character advances by its width in an ordinary hinted load, while its image is hinted for
// a one-bit target. When the match cannot be loaded, any face fontconfig offers is used
// instead; when there is none at all, every text measures 0 and draws nothing.
// With GDI, the font is the system's for the name, size and style (see TextRendererGdi.cpp).
//
// Text is 8-bit Windows-1252: bytes 0x80-0x9F are the typographic marks of that code page,
// the others their Latin-1 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/Windows1252.h"  // the code page of the text this draws
#include "render/Font.h"

namespace gridloom {

class TBitmap;

struct TTextMetrics {
    int Ascent = 0;   // pixels from the cell's top to the baseline
    int Descent = 0;  // pixels from the baseline to the cell's bottom
    int Height() const { return Ascent + Descent; }
};

class TTextRenderer {
public:
    TTextRenderer();
    ~TTextRenderer();
    TTextRenderer(const TTextRenderer&) = delete;
    TTextRenderer& operator=(const TTextRenderer&) = delete;

    // The renderer every canvas shares, so fonts are looked up and glyphs rendered once per
    // process rather than once per bitmap.
    static std::shared_ptr<TTextRenderer> Shared();

    TTextMetrics Metrics(const TFont& font);
    // Sum of the characters' advances, without kerning.
    int TextWidth(const TFont& font, std::string_view text);

    // Draws the glyphs in the font colour with the top of the cell at y (baseline at
    // y + ascent), then underline and strike-out when the style asks for them. The cell
    // behind is left as it is; clipped to the bitmap.
    void DrawText(TBitmap& bitmap, int32_t x, int32_t y, const TFont& font, std::string_view text);

    // How many glyph images have been rendered so far: with the cache working this stops
    // growing once every character in use has been drawn once.
    std::size_t RenderedGlyphCount() const;

    // The file of the face used for a font with FreeType, the face's name with GDI ("" when
    // there is none).
    std::string FaceFile(const TFont& font);

    // Pixels per em for a font size in points, as described above.
    static int PixelSize(int32_t points);

private:
    struct TState;  // the system's fonts and what has been rendered with them
    mutable std::mutex FMutex;
    std::unique_ptr<TState> FState;
};

}  // namespace gridloom
