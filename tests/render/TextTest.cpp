// Label text through the system's text backend on a real canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/Bitmap.h"
#include "render/Canvas.h"
#include "render/TextRenderer.h"
#include "tests/render/LabelFont.h"

namespace gridloom {
namespace {

using test::LabelFont;

struct TSmallImage {
    TBitmap bitmap;
    TSmallImage(int w, int h) {
        bitmap.Canvas().Brush.Color = clNavy;
        bitmap.SetWidth(w);
        bitmap.SetHeight(h);
        bitmap.Canvas().Font = LabelFont();
    }
    TCanvas& canvas() { return bitmap.Canvas(); }
    int Count(TColor c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, bitmap.Height()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, bitmap.Width()); ++x) n += bitmap.Pixel(x, y) == c;
        return n;
    }
    int Count(TColor c) const { return Count(c, 0, 0, bitmap.Width(), bitmap.Height()); }
};

TEST(TextRenderer, PointsToPixelsAt96Dpi) {
    EXPECT_EQ(TTextRenderer::PixelSize(11), 15);
    EXPECT_EQ(TTextRenderer::PixelSize(8), 11);
    EXPECT_EQ(TTextRenderer::PixelSize(0), 11);    // the default 8 points
    EXPECT_EQ(TTextRenderer::PixelSize(-11), 15);  // magnitude in points
    EXPECT_EQ(TTextRenderer::PixelSize(INT32_MIN), 400);
    EXPECT_EQ(TTextRenderer::PixelSize(300), 400);
    EXPECT_EQ(TTextRenderer::PixelSize(1), 1);
}

TEST(TextRenderer, Windows1252Characters) {
    EXPECT_EQ(Windows1252ToUnicode('A'), U'A');
    EXPECT_EQ(Windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252ToUnicode(0x96), U'\u2013');
    EXPECT_EQ(Windows1252ToUnicode(0x81), U'\u0081');
    EXPECT_EQ(Windows1252ToUnicode(0xB0), U'\u00B0');
    EXPECT_EQ(Windows1252ToUnicode(0xE9), U'\u00E9');
}

TEST(TextRenderer, ArialIsLiberationSansWhenAbsent) {
    const std::string file = TTextRenderer::Shared()->FaceFile(LabelFont());
    ASSERT_FALSE(file.empty());
    // FreeType names the face's file, GDI the face.
    if (file.find("Arial") == std::string::npos && file.find("arial") == std::string::npos) {
        EXPECT_TRUE(file.find("LiberationSans-Bold") != std::string::npos || file == "Liberation Sans") << file;
    }
}

// FreeType names the face's file, GDI the face.
bool IsLiberationSansBold(const TFont& font) {
    const std::string face = TTextRenderer::Shared()->FaceFile(font);
    return face.find("LiberationSans-Bold.") != std::string::npos ||
           (face == "Liberation Sans" && font.Style == fsBold);
}

// The sizes of the labels' cells, which place every label on the map.
TEST(CanvasText, LabelMetricsAreStable) {
    if (!IsLiberationSansBold(LabelFont())) GTEST_SKIP() << "Arial is not Liberation Sans Bold here";
    TSmallImage image(10, 10);
    const int h0 = image.canvas().TextHeight("0");
    const int w0 = image.canvas().TextWidth("0");
    const int w170 = image.canvas().TextWidth("170W");
    EXPECT_EQ(h0, 17);
    EXPECT_EQ(w0, 8);
    EXPECT_EQ(w170, 38);
    EXPECT_EQ(image.canvas().TextHeight("170W"), h0);  // the cell is the font's, not the text's
    EXPECT_EQ(image.canvas().TextWidth("0"), w0);
    EXPECT_EQ(image.canvas().TextWidth("170W"), w170);
    EXPECT_EQ(image.canvas().TextWidth("  "), 2 * image.canvas().TextWidth(" "));
    EXPECT_EQ(image.canvas().TextWidth(""), 0);
}

// The cell and the advances are those Windows gives the font: ascent and descent from the
// OS/2 table's Windows values, each rounded on its own, and the advances of an ordinary
// hinted load. Figures for Liberation Sans Bold, which stands in for Arial here.
TEST(CanvasText, CellHeightAndAdvancesAreThoseOfWindows) {
    TFont font = LabelFont();
    if (!IsLiberationSansBold(font)) GTEST_SKIP() << "Arial is not Liberation Sans Bold here";
    TSmallImage image(10, 10);
    TCanvas& c = image.canvas();
    EXPECT_EQ(TTextRenderer::Shared()->Metrics(font).Ascent, 14);
    EXPECT_EQ(TTextRenderer::Shared()->Metrics(font).Descent, 3);
    EXPECT_EQ(c.TextHeight("30W"), 17);
    EXPECT_EQ(c.TextWidth("W"), 14);
    EXPECT_EQ(c.TextWidth("30W"), 30);
    font.Size = 12;
    EXPECT_EQ(TTextRenderer::Shared()->Metrics(font).Ascent, 14);
}

// Where the ink of a label lies in its cell, row by row: a label drawn a row too high or
// too low, or with glyphs cut, shows here first. Figures for Liberation Sans Bold at 15
// pixels (Arial 11 points), the labels' font.
TEST(CanvasText, LabelInkRowsArePinned) {
    const TFont font = LabelFont();
    if (!IsLiberationSansBold(font)) GTEST_SKIP() << "Arial is not Liberation Sans Bold here";
    TSmallImage image(40, 24);
    image.canvas().Brush.Color = clWhite;
    image.canvas().TextOut(2, 3, "30W");
    std::vector<int> inkPerRow;
    for (int y = 0; y < 24; ++y) inkPerRow.push_back(image.Count(clRed, 0, y, 40, y + 1));
    EXPECT_EQ(inkPerRow,
              (std::vector<int>{0, 0, 0, 0, 0, 0, 15, 19, 14, 12, 16, 15, 15, 12, 15, 18, 14, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(CanvasText, CellIsFilledWithTheBrushThenInked) {
    TSmallImage image(120, 60);
    TCanvas& c = image.canvas();
    c.Brush.Color = clWhite;
    const int w = c.TextWidth("170W"), h = c.TextHeight("170W");
    c.TextOut(10, 20, "170W");
    const int cell = w * h;
    const int white = image.Count(clWhite, 10, 20, 10 + w, 20 + h);
    const int red = image.Count(clRed, 10, 20, 10 + w, 20 + h);
    EXPECT_EQ(white + red, cell);
    EXPECT_GT(red, 20);
    EXPECT_GT(white, red);
    // Nothing outside the cell.
    EXPECT_EQ(image.Count(clNavy), 120 * 60 - cell);
}

TEST(CanvasText, UnderlineAndStrikeOutAreFullWidthRows) {
    auto fullRows = [](int style) {
        TSmallImage image(80, 40);
        image.canvas().Brush.Color = clWhite;
        image.canvas().Font.Style = fsBold | style;
        const int w = image.canvas().TextWidth("a a");
        image.canvas().TextOut(5, 5, "a a");
        std::vector<int> rows;
        for (int y = 0; y < 40; ++y)
            if (image.Count(clRed, 5, y, 5 + w, y + 1) == w) rows.push_back(y - 5);
        return rows;
    };
    const TTextMetrics m = TTextRenderer::Shared()->Metrics(LabelFont());
    EXPECT_TRUE(fullRows(0).empty());
    const std::vector<int> under = fullRows(fsUnderline);
    ASSERT_FALSE(under.empty());
    EXPECT_GE(under.front(), m.Ascent - 1);  // from the glyphs' last row down (a bold line reaches up to it)
    EXPECT_GE(under.back(), m.Ascent);       // and below the baseline
    EXPECT_LT(under.back(), m.Height());
    const std::vector<int> strike = fullRows(fsStrikeOut);
    ASSERT_FALSE(strike.empty());
    EXPECT_LT(strike.back(), m.Ascent);  // above the baseline
    EXPECT_GT(strike.front(), m.Ascent / 3);
}

TEST(CanvasText, GlyphsAreRenderedOncePerFont) {
    TSmallImage image(200, 40);
    image.canvas().TextOut(0, 0, "12345W");
    const std::size_t rendered = TTextRenderer::Shared()->RenderedGlyphCount();
    for (int i = 0; i < 20; ++i) {
        image.canvas().TextOut(i, 5, "54321W");
        image.canvas().TextWidth("1W2");
    }
    EXPECT_EQ(TTextRenderer::Shared()->RenderedGlyphCount(), rendered);
    TSmallImage other(50, 50);  // another canvas shares the cache
    other.canvas().TextOut(0, 0, "W1");
    EXPECT_EQ(TTextRenderer::Shared()->RenderedGlyphCount(), rendered);
}

TEST(CanvasText, ClippedAnywhereInThe32BitRange) {
    TSmallImage image(30, 30);
    TCanvas& c = image.canvas();
    c.Brush.Color = clWhite;
    for (auto [x, y] : {std::pair{-5, -7},
                        {25, 25},
                        {INT32_MIN, 0},
                        {INT32_MAX, INT32_MAX},
                        {INT32_MAX - 3, 0},
                        {-100, 10},
                        {10, INT32_MIN}})
        c.TextOut(x, y, "170W");
    // Only the two cells that reach into the picture show, each the part of it inside: the
    // first cut at the left, right and top, the second at the right and bottom.
    const int w = c.TextWidth("170W"), h = c.TextHeight("170W");
    const int shown = std::min(w - 5, 30) * (h - 7) + 5 * 5;
    EXPECT_EQ(image.Count(clWhite) + image.Count(clRed), shown);
    EXPECT_EQ(image.Count(clNavy), 30 * 30 - shown);
    TBitmap empty;
    empty.Canvas().TextOut(0, 0, "0");  // a 0 x 0 picture takes nothing
}

TEST(CanvasText, OddFontsNeverFail) {
    TSmallImage image(60, 60);
    TCanvas& c = image.canvas();
    c.Font.Name = "No Such Font Family Xyzzy";
    EXPECT_GT(c.TextWidth("0"), 0);  // Arial's face stands in
    c.Font.Name = "";
    EXPECT_GT(c.TextHeight("0"), 0);
    c.Font.Name = "Arial";
    c.Font.Size = 0;
    EXPECT_EQ(c.TextHeight("0"), TTextRenderer::Shared()
                                     ->Metrics([] {
                                         TFont f = LabelFont();
                                         f.Size = 8;
                                         return f;
                                     }())
                                     .Height());
    c.Font.Size = -11;
    EXPECT_EQ(c.TextHeight("0"), TTextRenderer::Shared()->Metrics(LabelFont()).Height());
    c.Font.Size = INT32_MAX;
    EXPECT_GT(c.TextHeight("0"), 400);
    c.Brush.Color = clWhite;
    c.TextOut(0, 0, "0");
    EXPECT_EQ(image.Count(clNavy), 0);  // the 400-pixel cell covers the whole image

    // Every byte, in every style, drawn partly off the image: the cell is filled and inked
    // and nothing outside it is touched.
    TSmallImage styled(60, 60);
    TCanvas& s = styled.canvas();
    s.Font.Style = fsItalic | fsBold | fsUnderline | fsStrikeOut;
    s.Brush.Color = clWhite;
    const std::string allBytes = [] {
        std::string t;
        for (int i = 1; i < 256; ++i) t += char(i);
        return t;
    }();
    const int h = s.TextHeight(allBytes);
    ASSERT_GT(h, 0);
    ASSERT_GT(s.TextWidth(allBytes), 360);
    s.TextOut(-300, 10, allBytes);
    EXPECT_EQ(styled.Count(clWhite, 0, 10, 60, 10 + h) + styled.Count(clRed, 0, 10, 60, 10 + h), 60 * h);
    EXPECT_GT(styled.Count(clRed, 0, 10, 60, 10 + h), 60);  // at least the underline
    EXPECT_EQ(styled.Count(clNavy), 60 * (60 - h));
    const std::string_view odd("\0\x80\xff", 3);
    const int w = s.TextWidth(odd);
    EXPECT_GT(w, 0);
    s.TextOut(0, 40, odd);
    EXPECT_EQ(styled.Count(clWhite, 0, 40, w, 40 + h) + styled.Count(clRed, 0, 40, w, 40 + h), w * std::min(h, 20));
    // An italic glyph may lean a pixel or two past its advance, no further.
    EXPECT_EQ(styled.Count(clNavy, w + 3, 40, 60, 60), (60 - w - 3) * 20);
}

}  // namespace
}  // namespace gridloom
