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
// Arial is absent, "Times New Roman" and "Courier New" their metric twins Liberation Serif
// and Liberation Mono. A name fontconfig knows no face for (its match is only a default it
// falls back on, not the face itself or one it binds strongly to the name) gets the face of
// "Arial", as GDI gives such a name its default face; so does an empty name. A bold or
// italic request that only a regular face answers is emboldened or slanted. The ascent and
// descent are the OS/2 table's usWinAscent and usWinDescent scaled to the pixel size,
// round(units x ppem / unitsPerEm), each rounded on its own, and the text height is their
// sum (Liberation Sans Bold at 15 pixels: 14 + 3 = 17). When the match cannot be loaded,
// any face fontconfig offers is used instead; when there is none at all, every text
// measures 0 and draws nothing.
// With GDI, the font is the system's for the name, size and style (see TextRendererGdi.cpp).
//
// Both backends follow what GDI does with the font:
//  - A text's width is the sum of its characters' widths in an ordinary hinted load (GDI's
//    text extent). Its glyphs are hinted for a one-bit target and each is set after the
//    previous one by that image's own advance, as GDI's TextOut sets them; the two differ
//    now and then (Liberation Serif at 15 pixels: "30W" measures 8 + 8 + 14 = 30, while its
//    digits stand 7 apart).
//  - A glyph's image is its one-bit hinted outline filled into the outline's whole box,
//    floored and ceiled to pixels, so a column the outline barely reaches into keeps its
//    ink (the stem of "E" in Liberation Sans at 8 pixels starts at the pen).
//  - Every length below is font units scaled to the pixel size and rounded half up,
//    round(units x ppem / unitsPerEm). The underline is round(post underlineThickness)
//    rows thick (at least 1); GDI takes the post table's underlinePosition for its centre
//    row, so its top row lies round(-underlinePosition) - thickness div 2 rows below the
//    baseline, on the first row under the glyphs or even above it for a thick line. The
//    strikeout is round(OS/2 yStrikeoutSize) rows thick, its centre row round(OS/2
//    yStrikeoutPosition) rows above the baseline, so its top row lies thickness div 2 rows
//    higher still. Bold takes no adjustment of its own: the bold face's own tables give
//    its lines (Liberation Sans Bold at 15 pixels: a 2-row underline on the last row of
//    the glyphs and the row under it; Liberation Sans at 32 pixels: a 2-row strikeout on
//    rows 9 and 8 above the baseline's row). Fonts without these tables get a line of
//    about a fifteenth of the em halfway down the descent, and a stroke a third of the
//    ascent up.
//  - Both lines span the text's width, from the text's left end.
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
