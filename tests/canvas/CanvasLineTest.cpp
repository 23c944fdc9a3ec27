// 1-pixel and wide lines: which pixels light, and that far-away coordinates are clipped.
#include <gtest/gtest.h>

#include <climits>

#include "CanvasTestSupport.h"

namespace gridloom {
namespace {

TEST(CanvasLine, OnePixelLineExcludesItsEndPixel) {
    TestBitmap b(10, 10);
    b.Canvas().MoveTo(1, 2);
    b.Canvas().LineTo(6, 2);
    EXPECT_EQ(Render(b), Picture({
        "..........",
        "..........",
        ".#####....",
        "..........",
    }, 10, 10));
    EXPECT_EQ(b.Canvas().PenPos(), (TPoint{6, 2}));
}

TEST(CanvasLine, VerticalLineGoingUp) {
    TestBitmap b(4, 6);
    b.Canvas().MoveTo(2, 5);
    b.Canvas().LineTo(2, 1);
    EXPECT_EQ(Render(b), Picture({
        "....",
        "....",
        "..#.",
        "..#.",
        "..#.",
        "..#.",
    }, 4, 6));
}

TEST(CanvasLine, DiagonalAndSteepLines) {
    TestBitmap b(6, 6);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(4, 4);
    EXPECT_EQ(Render(b), Picture({
        "#.....",
        ".#....",
        "..#...",
        "...#..",
        "......",
        "......",
    }, 6, 6));

    TestBitmap s(6, 6);
    s.Canvas().MoveTo(1, 0);
    s.Canvas().LineTo(3, 6);  // steep: one pixel per row, rounding ties toward the start
    EXPECT_EQ(Render(s), Picture({
        ".#....",
        ".#....",
        "..#...",
        "..#...",
        "..#...",
        "...#..",
    }, 6, 6));
}

TEST(CanvasLine, ZeroLengthLineDrawsNothing) {
    TestBitmap b(4, 4);
    b.Canvas().MoveTo(2, 2);
    b.Canvas().LineTo(2, 2);
    EXPECT_EQ(CountIndex(b, Ink), 0);
}

TEST(CanvasLine, ReversedLineCoversTheSameRunExceptItsEnds) {
    // Drawn both ways, a line lights both end pixels and the same pixels between (an odd
    // run of 17 columns has no half-way ties, where the two directions may differ).
    TestBitmap forward(20, 20), both(20, 20);
    forward.Canvas().MoveTo(1, 3);
    forward.Canvas().LineTo(18, 10);
    both.Canvas().MoveTo(1, 3);
    both.Canvas().LineTo(18, 10);
    both.Canvas().LineTo(1, 3);
    EXPECT_EQ(CountIndex(both, Ink), CountIndex(forward, Ink) + 1);
    EXPECT_EQ(both.PixelIndex(18, 10), Ink);
    EXPECT_EQ(forward.PixelIndex(18, 10), Paper);
}

TEST(CanvasLine, ClippedLineMatchesTheUnclippedOne) {
    // The same line drawn on a large bitmap and on a window into it must agree pixel for pixel.
    const TPoint ends[][2] = {{{-37, 5}, {50, 29}}, {{60, -40}, {3, 70}}, {{-5, -5}, {45, 44}}, {{44, 2}, {-20, 9}}};
    for (const auto& e : ends) {
        TestBitmap big(200, 200), small(30, 30);
        big.Canvas().MoveTo(e[0].X + 100, e[0].Y + 100);
        big.Canvas().LineTo(e[1].X + 100, e[1].Y + 100);
        small.Canvas().MoveTo(e[0].X, e[0].Y);
        small.Canvas().LineTo(e[1].X, e[1].Y);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(small.PixelIndex(x, y), big.PixelIndex(x + 100, y + 100)) << x << "," << y;
    }
}

TEST(CanvasLine, HugeCoordinatesPaintTheVisiblePart) {
    TestBitmap b(50, 40);
    b.Canvas().MoveTo(INT32_MIN, 10);
    b.Canvas().LineTo(INT32_MAX, 10);
    for (int x = 0; x < 50; ++x) EXPECT_EQ(b.PixelIndex(x, 10), Ink);
    EXPECT_EQ(CountIndex(b, Ink), 50);

    TestBitmap v(50, 40);
    v.Canvas().MoveTo(7, INT32_MAX);
    v.Canvas().LineTo(7, INT32_MIN);
    EXPECT_EQ(CountIndex(v, Ink), 40);

    // A long diagonal through the whole range: the visible part is the line y = x.
    TestBitmap d(50, 40);
    d.Canvas().MoveTo(INT32_MIN + 1, INT32_MIN + 1);
    d.Canvas().LineTo(INT32_MAX, INT32_MAX);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(d.PixelIndex(i, i), Ink) << i;
    EXPECT_EQ(CountIndex(d, Ink), 40);

    // Entirely outside, and wide pens at the extremes, paint nothing and return at once.
    TestBitmap o(50, 40);
    o.Canvas().MoveTo(INT32_MIN, INT32_MIN);
    o.Canvas().LineTo(INT32_MAX, INT32_MIN);
    o.Canvas().Pen.Width = 5;
    o.Canvas().MoveTo(INT32_MIN, INT32_MAX);
    o.Canvas().LineTo(INT32_MAX, INT32_MAX);
    EXPECT_EQ(CountIndex(o, Ink), 0);
}

TEST(CanvasLine, WidePenHasRoundCaps) {
    TestBitmap b(20, 20);
    b.Canvas().Pen.Width = 5;
    b.Canvas().MoveTo(6, 10);
    b.Canvas().LineTo(12, 10);
    // Along the body the stroke is five rows tall, centred on the line.
    for (int y = 8; y <= 12; ++y) EXPECT_EQ(b.PixelIndex(9, y), Ink) << y;
    EXPECT_EQ(b.PixelIndex(9, 7), Paper);
    EXPECT_EQ(b.PixelIndex(9, 13), Paper);
    // The cap extends 2 pixels past the end point (2 <= 2.5) ...
    EXPECT_EQ(b.PixelIndex(14, 10), Ink);
    EXPECT_EQ(b.PixelIndex(15, 10), Paper);
    // ... and is round: (2, 1) from the end is within 2.5, (2, 2) is not.
    EXPECT_EQ(b.PixelIndex(14, 11), Ink);
    EXPECT_EQ(b.PixelIndex(14, 12), Paper);
    EXPECT_EQ(b.PixelIndex(4, 8), Paper);
    EXPECT_EQ(b.PixelIndex(4, 9), Ink);
}

TEST(CanvasLine, WideDiagonalStrokeIsEveryCentreWithinHalfTheWidth) {
    TestBitmap b(30, 30);
    b.Canvas().Pen.Width = 4;
    b.Canvas().MoveTo(5, 7);
    b.Canvas().LineTo(22, 19);
    const double ax = 5, ay = 7, bx = 22, by = 19;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const double dx = bx - ax, dy = by - ay;
            double t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
            t = std::clamp(t, 0.0, 1.0);
            const double ex = ax + t * dx - x, ey = ay + t * dy - y;
            const double d2 = ex * ex + ey * ey;
            if (std::abs(d2 - 4.0) < 1e-9) continue;  // exactly on the rim
            EXPECT_EQ(b.PixelIndex(x, y) == Ink, d2 < 4.0) << x << "," << y;
        }
}

TEST(CanvasLine, AbsurdPenWidthsAreSafe) {
    TestBitmap b(30, 20);
    b.Canvas().Pen.Width = -3;  // draws as 1
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(5, 0);
    EXPECT_EQ(CountIndex(b, Ink), 5);

    b.Canvas().Pen.Width = 100000;  // covers everything
    b.Canvas().MoveTo(INT32_MAX, 10);
    b.Canvas().LineTo(15, 10);
    EXPECT_EQ(CountIndex(b, Ink), 30 * 20);

    TestBitmap c(30, 20);
    c.Canvas().Pen.Width = INT32_MAX;
    c.Canvas().MoveTo(INT32_MIN, INT32_MIN);
    c.Canvas().LineTo(INT32_MIN, INT32_MIN + 1);  // far away: the pen does not reach
    EXPECT_EQ(CountIndex(c, Ink), 0);
}

}  // namespace
}  // namespace gridloom

namespace gridloom {
namespace {

// Every pixel whose centre is within width/2 of the segment, and no other; centres within
// a hair of the rim may go either way.
void ExpectStrokeMatchesDefinition(TPoint a, TPoint b, int width) {
    TestBitmap bitmap(40, 40);
    bitmap.Canvas().Pen.Width = width;
    bitmap.Canvas().MoveTo(a.X, a.Y);
    bitmap.Canvas().LineTo(b.X, b.Y);
    const double r2 = width * width / 4.0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const double dx = b.X - a.X, dy = b.Y - a.Y, l2 = dx * dx + dy * dy;
            const double t = l2 > 0 ? std::clamp(((x - a.X) * dx + (y - a.Y) * dy) / l2, 0.0, 1.0) : 0.0;
            const double ex = a.X + t * dx - x, ey = a.Y + t * dy - y;
            const double d2 = ex * ex + ey * ey;
            if (std::abs(d2 - r2) < 1e-9) continue;
            ASSERT_EQ(bitmap.PixelIndex(x, y) == Ink, d2 < r2)
                << "pixel " << x << "," << y << " of " << a.X << "," << a.Y << " - " << b.X << "," << b.Y << " width " << width;
        }
}

TEST(CanvasLine, ShortAndLongWideStrokesMatchTheirDefinition) {
    // Short segments are copied from ready-made shapes, long and clipped ones computed:
    // both must give the same pixels the definition does, at odd and even widths.
    for (int width = 2; width <= 7; ++width)
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) ExpectStrokeMatchesDefinition({20, 19}, {20 + dx, 19 + dy}, width);
    for (int width = 2; width <= 9; ++width) {
        ExpectStrokeMatchesDefinition({3, 5}, {33, 21}, width);
        ExpectStrokeMatchesDefinition({-30, 45}, {60, -7}, width);
        ExpectStrokeMatchesDefinition({38, -1}, {41, 30}, width);
    }
}

}  // namespace
}  // namespace gridloom
