// Polygon fill by both rules, the shared-edge rule, outlines, and far-away vertices.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

TEST(CanvasPolygon, RectangleFillsInsideAndOutlinesItsEdgePixels) {
    TestBitmap b(8, 7);
    const TPoint square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    b.Canvas().Polygon(square, 4);
    EXPECT_EQ(Render(b), Picture(
                             {
                                 "........",
                                 ".#####..",
                                 ".#ooo#..",
                                 ".#ooo#..",
                                 ".#ooo#..",
                                 ".#####..",
                             },
                             8, 7));
}

TEST(CanvasPolygon, FillAloneCoversThePixelsWhoseCentresAreInside) {
    TestBitmap b(8, 7);
    const TPoint square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    TRasterizer().FillPolygon(b, square, 4, TPolyFillMode::Winding, Fill);
    EXPECT_EQ(Render(b), Picture(
                             {
                                 "........",
                                 ".oooo...",
                                 ".oooo...",
                                 ".oooo...",
                                 ".oooo...",
                             },
                             8, 7));
}

// The fill's vertices are pixel centres, like the outline's: slanted edges of the fill
// and of the outline agree.
TEST(CanvasPolygon, WorkedExamplesOfSlantedEdges) {
    struct TCase {
        std::vector<TPoint> Points;
        std::vector<std::string> Rows;
    };
    const TCase cases[] = {
        {{{0, 0}, {6, 2}, {2, 6}},
         {"........", ".oo.....", ".ooooo..", ".oooo...", "..oo....", "..o.....", "........"}},
        {{{0, 0}, {10, 3}, {10, 4}}, {"...........", "...o.......", ".....oo....", "........oo.", "..........."}},
    };
    for (const TCase& c : cases) {
        const int w = int(c.Rows[0].size()), h = int(c.Rows.size());
        TestBitmap b(w, h);
        TRasterizer().FillPolygon(b, c.Points.data(), int(c.Points.size()), TPolyFillMode::Winding, Fill);
        EXPECT_EQ(Render(b), Picture(c.Rows, w, h));
    }
}

std::vector<TPoint> Star(int cx, int cy, int r) {
    // A five-pointed star drawn in one stroke: it crosses itself, and its centre pentagon
    // has winding number 2.
    std::vector<TPoint> p;
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        p.push_back({cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))});
    }
    return p;
}

TEST(CanvasPolygon, WindingFillsTheCentreOfAStarAndAlternateLeavesIt) {
    const auto star = Star(20, 20, 18);
    TestBitmap winding(40, 40), alternate(40, 40);
    winding.Canvas().PolyFillMode = TPolyFillMode::Winding;
    winding.Canvas().Polygon(star.data(), int(star.size()));
    alternate.Canvas().PolyFillMode = TPolyFillMode::Alternate;
    alternate.Canvas().Polygon(star.data(), int(star.size()));
    EXPECT_EQ(winding.PixelIndex(20, 21), Fill);
    EXPECT_EQ(alternate.PixelIndex(20, 21), Paper);
    // The points are filled either way.
    EXPECT_EQ(winding.PixelIndex(20, 6), Fill);
    EXPECT_EQ(alternate.PixelIndex(20, 6), Fill);
}

// Fills each tile alone and counts how often every pixel is painted.
std::vector<int> CoverCount(const std::vector<std::vector<TPoint>>& tiles, int width, int height) {
    std::vector<int> count(std::size_t(width * height), 0);
    TRasterizer raster;
    for (const auto& tile : tiles) {
        TestBitmap b(width, height);
        raster.FillPolygon(b, tile.data(), int(tile.size()), TPolyFillMode::Winding, Fill);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) count[std::size_t(y * width + x)] += b.PixelIndex(x, y) == Fill;
    }
    return count;
}

TEST(CanvasPolygon, TilesMeetingAtSlantedEdgesCoverEveryPixelExactlyOnce) {
    // Four triangles meeting at an off-grid point, in both orientations, tile the square.
    const TPoint c{13, 9};
    const TPoint corners[] = {{0, 0}, {24, 0}, {24, 20}, {0, 20}};
    std::vector<std::vector<TPoint>> tiles;
    for (int i = 0; i < 4; ++i) {
        if (i % 2 == 0)
            tiles.push_back({corners[i], corners[(i + 1) % 4], c});
        else
            tiles.push_back({c, corners[(i + 1) % 4], corners[i]});
    }
    const auto count = CoverCount(tiles, 24, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x) EXPECT_EQ(count[std::size_t(y * 24 + x)], 1) << x << "," << y;
}

TEST(CanvasPolygon, PolygonsSharingAnEdgeNeverPaintTheSamePixel) {
    // Shared edges with slopes whose crossings fall exactly on pixel centres.
    const std::vector<std::vector<TPoint>> tiles = {
        {{2, 3}, {32, 7}, {8, 29}},
        {{32, 7}, {30, 31}, {8, 29}},
        {{2, 3}, {8, 29}, {0, 34}, {-4, 1}},
        {{-10, -10}, {40, -10}, {32, 7}, {2, 3}},
    };
    const auto count = CoverCount(tiles, 40, 40);
    int painted = 0;
    for (int i = 0; i < 40 * 40; ++i) {
        EXPECT_LE(count[std::size_t(i)], 1) << "pixel " << i % 40 << "," << i / 40;
        painted += count[std::size_t(i)];
    }
    EXPECT_GT(painted, 600);
}

TEST(CanvasPolygon, OutlineWithOnePixelPenEqualsLinesAlongEveryEdge) {
    const TPoint shape[] = {{3, 2}, {25, 6}, {17, 21}, {6, 15}};
    TestBitmap polygon(30, 25), lines(30, 25);
    polygon.Canvas().Brush.Color = clWhite;  // fill in paper: only the outline shows
    polygon.Canvas().Polygon(shape, 4);
    lines.Canvas().MoveTo(3, 2);
    for (int i = 1; i <= 4; ++i) lines.Canvas().LineTo(shape[i % 4].X, shape[i % 4].Y);
    EXPECT_EQ(Render(polygon), Render(lines));
    EXPECT_EQ(polygon.Canvas().PenPos(), (TPoint{0, 0}));  // Polygon leaves the position alone
}

TEST(CanvasPolygon, PolylineIsOpenAndLeavesItsLastPixel) {
    const TPoint path[] = {{1, 1}, {6, 1}, {6, 4}};
    TestBitmap b(8, 6);
    b.Canvas().Polyline(path, 3);
    EXPECT_EQ(Render(b), Picture(
                             {
                                 "........",
                                 ".######.",
                                 "......#.",
                                 "......#.",
                                 "........",
                             },
                             8, 6));
    TestBitmap p(8, 6);
    p.Canvas().Brush.Color = clWhite;
    p.Canvas().Polygon(path, 3);
    EXPECT_EQ(p.PixelIndex(6, 4), Ink);  // closed: the closing edge starts there
    EXPECT_EQ(p.PixelIndex(3, 2), Ink);  // and runs back diagonally
    EXPECT_EQ(b.Canvas().PenPos(), (TPoint{0, 0}));
}

TEST(CanvasPolygon, TooFewPointsDrawNothing) {
    TestBitmap b(8, 8);
    const TPoint one[] = {{3, 3}};
    b.Canvas().Polygon(one, 1);
    b.Canvas().Polyline(one, 1);
    b.Canvas().Polygon(nullptr, 5);
    b.Canvas().Polyline(nullptr, 5);
    b.Canvas().Polygon(one, -7);
    EXPECT_EQ(CountIndex(b, Paper), 64);
    // Two points: no area, but the outline runs there and back.
    const TPoint two[] = {{1, 1}, {5, 1}};
    b.Canvas().Polygon(two, 2);
    EXPECT_EQ(CountIndex(b, Ink), 5);
    EXPECT_EQ(CountIndex(b, Fill), 0);
}

TEST(CanvasPolygon, HugeVerticesFillTheVisiblePartAtOnce) {
    TestBitmap b(30, 20);
    b.Canvas().Pen.Color = clGreen;
    const TPoint everything[] = {
        {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    b.Canvas().Polygon(everything, 4);
    EXPECT_EQ(CountIndex(b, Fill), 30 * 20);

    // A huge triangle whose slanted edge crosses the bitmap: below the diagonal y = x.
    TestBitmap t(30, 20);
    t.Canvas().Pen.Color = clWhite;
    const TPoint half[] = {{-1000000000, -1000000000}, {1000000000, 1000000000}, {-1000000000, 1000000000}};
    t.Canvas().Polygon(half, 3);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (std::abs(x - y) > 1) {
                EXPECT_EQ(t.PixelIndex(x, y) == Fill, x < y) << x << "," << y;
            }

    // The same with the widest vertices and a wide pen, far outside: nothing, instantly.
    TestBitmap o(30, 20);
    o.Canvas().Pen.Width = 5;
    const TPoint away[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {0, INT32_MIN + 10}};
    o.Canvas().Polygon(away, 3);
    EXPECT_EQ(CountIndex(o, Paper), 30 * 20);
}

TEST(CanvasPolygon, WidePenOutlineSurroundsTheFill) {
    TestBitmap b(30, 30);
    b.Canvas().Pen.Width = 3;
    const TPoint square[] = {{5, 5}, {20, 5}, {20, 20}, {5, 20}};
    b.Canvas().Polygon(square, 4);
    EXPECT_EQ(b.PixelIndex(4, 12), Ink);  // outside the edge, within the pen
    EXPECT_EQ(b.PixelIndex(6, 12), Ink);
    EXPECT_EQ(b.PixelIndex(7, 12), Fill);
    EXPECT_EQ(b.PixelIndex(3, 12), Paper);
    // No joins beyond the discs: the 3-pixel disc is a plus, so the corner's diagonal
    // neighbour outside stays clear while its straight ones are inked.
    EXPECT_EQ(b.PixelIndex(4, 4), Paper);
    EXPECT_EQ(b.PixelIndex(4, 5), Ink);
    EXPECT_EQ(b.PixelIndex(5, 4), Ink);
}

// Rows crossing ten thousand edges on a bitmap 40,000 pixels wide: a comb of thin teeth,
// every other pair of pixels filled.
TEST(CanvasPolygon, ManyCrossingsOnAWideBitmap) {
    const int32_t width = 40000, height = 6;
    std::vector<TPoint> comb;
    for (int32_t x = 0; x + 4 <= width; x += 4) {
        comb.push_back({x, 0});
        comb.push_back({x, 5});
        comb.push_back({x + 2, 5});
        comb.push_back({x + 2, 0});
    }
    for (const auto mode : {TPolyFillMode::Alternate, TPolyFillMode::Winding}) {
        TestBitmap a(width, height);
        TRasterizer().FillPolygon(a, comb.data(), int(comb.size()), mode, Fill);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                ASSERT_EQ(a.PixelIndex(x, y), (y < 5 && x % 4 < 2) ? Fill : Paper) << x << "," << y;
    }
}

}  // namespace
}  // namespace gridloom
