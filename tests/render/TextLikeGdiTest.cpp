// Labels as GDI draws them, in worked examples: where the underline and the strikeout lie,
// how far apart glyphs stand, and which face a name nobody has gets. The figures are GDI's
// own (Wine's GDI drawing Liberation fonts), so both text backends must give them.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "render/Bitmap.h"
#include "render/Canvas.h"
#include "render/TextRenderer.h"

namespace gridloom {
namespace {

TFont Font(const char* name, int points, TFontStyles style) {
    TFont f;
    f.Name = name;
    f.Size = points;
    f.Style = style;
    f.Color = clRed;
    return f;
}

// FreeType names the face's file, GDI the face (or the name asked for, where Wine maps it).
bool IsLiberation(const TFont& font, const std::string& family) {
    const std::string face = TTextRenderer::Shared()->FaceFile(font);
    std::string file = family;
    std::erase(file, ' ');
    return face.find(file + "-") != std::string::npos || face == family || face == font.Name;
}

// A label drawn at (0, 0) on white, as the grid draws one.
struct TLabel {
    TBitmap bitmap;
    int Width = 0;
    TLabel(const TFont& font, std::string_view text) {
        bitmap.Canvas().Brush.Color = clWhite;
        bitmap.SetWidth(400);
        bitmap.SetHeight(160);
        bitmap.Canvas().Font = font;
        Width = bitmap.Canvas().TextWidth(text);
        bitmap.Canvas().TextOut(0, 0, text);
    }
    bool Red(int x, int y) const { return bitmap.Pixel(x, y) == clRed; }
    // Rows of the cell that are red across the whole width of the text.
    std::vector<int> FullRows() const {
        std::vector<int> rows;
        for (int y = 0; y < bitmap.Height(); ++y) {
            bool full = Width > 0;
            for (int x = 0; x < Width && full; ++x) full = Red(x, y);
            if (full) rows.push_back(y);
        }
        return rows;
    }
    bool ColumnInked(int x) const {
        for (int y = 0; y < bitmap.Height(); ++y)
            if (Red(x, y)) return true;
        return false;
    }
};

// How far apart the two glyphs of "00" stand: from the first inked column of one to that of
// the other.
int DigitSpacing(const TFont& font) {
    const TLabel pair(font, "00");
    int x = 0;
    while (x < 400 && !pair.ColumnInked(x)) ++x;
    const int first = x;
    while (x < 400 && pair.ColumnInked(x)) ++x;
    while (x < 400 && !pair.ColumnInked(x)) ++x;
    return x - first;
}

TEST(TextLikeGdi, UnderlineRows) {
    // Liberation Sans Bold at 15 pixels (the labels' Arial 11 bold): ascent 14, and a 2-row
    // underline on the glyphs' last row and the row under it, where FreeType's reading of
    // the font would put it two rows lower.
    const TFont bold = Font("Arial", 11, fsBold | fsUnderline);
    if (!IsLiberation(bold, "Liberation Sans")) GTEST_SKIP() << "Arial is not Liberation Sans here";
    EXPECT_EQ(TLabel(bold, "0").FullRows(), (std::vector<int>{13, 14}));
    // Regular: one row, just under the glyphs.
    EXPECT_EQ(TLabel(Font("Arial", 11, fsUnderline), "80N").FullRows(), (std::vector<int>{14}));
    // At 72 points the line is 7 rows thick and starts right under the glyphs (ascent 87).
    EXPECT_EQ(TLabel(Font("Arial", 72, fsUnderline), "0").FullRows(), (std::vector<int>{87, 88, 89, 90, 91, 92, 93}));
}

TEST(TextLikeGdi, StrikeoutRows) {
    const TFont regular = Font("Arial", 24, fsStrikeOut);
    if (!IsLiberation(regular, "Liberation Sans")) GTEST_SKIP() << "Arial is not Liberation Sans here";
    // Liberation Sans at 32 pixels, ascent 29: the 2-row stroke is centred on row 21, so it
    // covers rows 20 and 21, not 21 and 22.
    EXPECT_EQ(TLabel(regular, "0").FullRows(), (std::vector<int>{20, 21}));
    EXPECT_EQ(TLabel(Font("Arial", 24, fsBold | fsStrikeOut), "0").FullRows(), (std::vector<int>{20, 21}));
    // One row thick from 8 to 18 points: at 11 points, four rows above the baseline.
    EXPECT_EQ(TLabel(Font("Arial", 11, fsStrikeOut), "0").FullRows(), (std::vector<int>{10}));
}

TEST(TextLikeGdi, GlyphsStandAsGdiSetsThem) {
    const TFont at11 = Font("Liberation Serif", 11, 0);
    if (!IsLiberation(at11, "Liberation Serif")) GTEST_SKIP() << "no Liberation Serif here";
    // "30W" measures 8 + 8 + 14 at 15 pixels, so a label centred on x = 100 starts at 85,
    // but its digits stand 7 pixels apart, not 8.
    EXPECT_EQ(TLabel(at11, "30W").Width, 30);
    EXPECT_EQ(TLabel(at11, "00").Width, 16);
    EXPECT_EQ(DigitSpacing(at11), 7);

    // At 14 points (19 pixels): measured 10 + 10 + 18, set 9 apart.
    const TFont at14 = Font("Liberation Serif", 14, 0);
    EXPECT_EQ(TLabel(at14, "30W").Width, 38);
    EXPECT_EQ(DigitSpacing(at14), 9);

    // At 24 points the two agree, 16 apart; so do they in bold at 11 points, 8 apart.
    EXPECT_EQ(DigitSpacing(Font("Liberation Serif", 24, 0)), 16);
    EXPECT_EQ(DigitSpacing(Font("Liberation Serif", 11, fsBold)), 8);

    // The underline spans the measured width, past the last glyph's travel.
    EXPECT_EQ(TLabel(Font("Liberation Serif", 11, fsUnderline), "30W").FullRows(), (std::vector<int>{14}));
}

// Where an outline barely reaches into a column, GDI still inks that column: the stem of "E"
// in Liberation Sans at 8 pixels (Arial 6) and the foot of "3" in Liberation Serif at 15
// start right at the pen, not a column to its right.
TEST(TextLikeGdi, GlyphsKeepTheirOutermostColumns) {
    const TFont arial6 = Font("Arial", 6, 0);
    if (!IsLiberation(arial6, "Liberation Sans")) GTEST_SKIP() << "Arial is not Liberation Sans here";
    const TLabel e(arial6, "E");
    EXPECT_TRUE(e.ColumnInked(0));
    EXPECT_EQ(e.Width, 5);
    const TFont serif11 = Font("Liberation Serif", 11, 0);
    if (!IsLiberation(serif11, "Liberation Serif")) GTEST_SKIP() << "no Liberation Serif here";
    const TLabel three(serif11, "3");
    EXPECT_TRUE(three.ColumnInked(0));
    EXPECT_TRUE(three.Red(0, 11));  // the foot, the cell's twelfth row
    EXPECT_FALSE(three.ColumnInked(6));
}

TEST(TextLikeGdi, UnknownNameGetsArialsFace) {
    const TFont arial = Font("Arial", 11, fsBold);
    if (!IsLiberation(arial, "Liberation Sans")) GTEST_SKIP() << "Arial is not Liberation Sans here";
    const TLabel expected(arial, "170W 80N");
    for (const char* name : {"Gridloom No Such Face", "", "sans-serif-nowhere"}) {
        const TLabel label(Font(name, 11, fsBold), "170W 80N");
        EXPECT_EQ(label.Width, expected.Width) << name;
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) differing += label.Red(x, y) != expected.Red(x, y);
        EXPECT_EQ(differing, 0) << name;
    }
}

}  // namespace
}  // namespace gridloom
