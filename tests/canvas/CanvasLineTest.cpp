// 1-pixel lines: which pixels light, how half-way ties break, and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "CanvasTestSupport.h"

namespace gridloom {
namespace {

std::vector<TPoint> LitPixels(const TBitmap& b) {
    std::vector<TPoint> lit;
    for (int32_t y = 0; y < b.Height(); ++y)
        for (int32_t x = 0; x < b.Width(); ++x)
            if (b.PixelIndex(x, y) == Ink) lit.push_back({x, y});
    return lit;
}

// Lines drawn round an origin in the middle of a 20 x 20 bitmap; pixels relative to it.
struct TTieCase {
    TPoint From, To;
    std::vector<TPoint> Pixels;  // in drawing order does not matter: compared as a set
};

class CanvasLineTies : public ::testing::TestWithParam<TTieCase> {};

TEST_P(CanvasLineTies, HalfWayGoesToTheSmallerCoordinate) {
    const TTieCase& c = GetParam();
    constexpr int32_t o = 10;
    TestBitmap b(20, 20);
    b.Canvas().MoveTo(c.From.X + o, c.From.Y + o);
    b.Canvas().LineTo(c.To.X + o, c.To.Y + o);
    std::vector<TPoint> expected;
    for (TPoint p : c.Pixels) expected.push_back({p.X + o, p.Y + o});
    std::sort(expected.begin(), expected.end(),
              [](TPoint a, TPoint b) { return std::tie(a.Y, a.X) < std::tie(b.Y, b.X); });
    EXPECT_EQ(LitPixels(b), expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CanvasLineTies,
    ::testing::Values(TTieCase{{0, 0}, {2, -1}, {{0, 0}, {1, -1}}}, TTieCase{{0, 0}, {-1, 2}, {{0, 0}, {-1, 1}}},
                      TTieCase{{2, 1}, {0, 0}, {{2, 1}, {1, 0}}}, TTieCase{{0, 0}, {2, 1}, {{0, 0}, {1, 0}}},
                      TTieCase{{0, 0}, {6, -3}, {{0, 0}, {1, -1}, {2, -1}, {3, -2}, {4, -2}, {5, -3}}},
                      TTieCase{{1, 2}, {6, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}},
                      TTieCase{{2, 5}, {2, 1}, {{2, 5}, {2, 4}, {2, 3}, {2, 2}}},
                      TTieCase{{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}}, TTieCase{{2, 2}, {2, 2}, {}}));

// Every slope with ties (an even run over an odd rise) in all eight octants, both ways,
// against the rule written out plainly: the pixels between the ends are the same
// whichever way a line is drawn, and only the excluded end differs.
TEST(CanvasLine, EveryOctantBothWaysFollowsTheRule) {
    for (int32_t run = 1; run <= 8; ++run)
        for (int32_t rise = 0; rise <= run; ++rise)
            for (int sx : {1, -1})
                for (int sy : {1, -1})
                    for (bool steep : {false, true}) {
                        const int32_t dx = sx * (steep ? rise : run), dy = sy * (steep ? run : rise);
                        const TPoint a{12, 12}, z{12 + dx, 12 + dy};
                        TestBitmap forward(25, 25), backward(25, 25);
                        forward.Canvas().MoveTo(a.X, a.Y);
                        forward.Canvas().LineTo(z.X, z.Y);
                        backward.Canvas().MoveTo(z.X, z.Y);
                        backward.Canvas().LineTo(a.X, a.Y);
                        TMask expected(25, 25);
                        AddLine(expected, a, z);
                        EXPECT_EQ(MaskOf(forward, Ink).Lit, expected.Lit) << dx << "," << dy;
                        TMask f = MaskOf(forward, Ink), r = MaskOf(backward, Ink);
                        f.Set(z.X, z.Y);
                        r.Set(a.X, a.Y);
                        EXPECT_EQ(f.Lit, r.Lit) << dx << "," << dy;
                    }
}

TEST(CanvasLine, LineToMovesThePenAndLeavesItsEndPixel) {
    TestBitmap b(10, 10);
    b.Canvas().MoveTo(1, 2);
    b.Canvas().LineTo(6, 2);
    EXPECT_EQ(b.Canvas().PenPos(), (TPoint{6, 2}));
    EXPECT_EQ(b.PixelIndex(6, 2), Paper);
    b.Canvas().LineTo(6, 7);  // the corner pixel is the second line's first
    EXPECT_EQ(b.PixelIndex(6, 2), Ink);
    EXPECT_EQ(CountIndex(b, Ink), 10);
}

// The same lines drawn on a large bitmap and on windows into it (their edges in every
// direction) agree pixel for pixel: the clip-entry arithmetic follows the tie rule.
TEST(CanvasLine, ClippedLinesLightTheUnclippedLinesPixelsInside) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int32_t> coordinate(-60, 90);
    for (int round = 0; round < 3000; ++round) {
        const TPoint from{coordinate(random), coordinate(random)}, to{coordinate(random), coordinate(random)};
        TestBitmap small(30, 30);
        small.Canvas().MoveTo(from.X, from.Y);
        small.Canvas().LineTo(to.X, to.Y);
        TMask expected(30, 30);
        AddLine(expected, from, to);
        ASSERT_EQ(MaskOf(small, Ink).Lit, expected.Lit) << from.X << "," << from.Y << " - " << to.X << "," << to.Y;
    }
}

TEST(CanvasLine, ClippedAtTheRightEdgeOfTheMasterImage) {
    TestBitmap b(7920, 8);
    b.Canvas().MoveTo(7920, 2);
    b.Canvas().LineTo(7918, 6);
    // Steps 1, 2, 3 fall at x = 7919.5 (a tie: 7919), 7919 and 7918.5 (7918).
    EXPECT_EQ(LitPixels(b), (std::vector<TPoint>{{7919, 3}, {7919, 4}, {7918, 5}}));
}

TEST(CanvasLine, HugeCoordinatesPaintTheVisiblePart) {
    const TPoint ends[][2] = {
        {{INT32_MIN, 10}, {INT32_MAX, 10}},
        {{7, INT32_MAX}, {7, INT32_MIN}},
        {{INT32_MIN + 1, INT32_MIN + 1}, {INT32_MAX, INT32_MAX}},
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}},
        {{INT32_MAX, -7}, {INT32_MIN, 31}},
        {{-1000000000, 1000000001}, {1000000003, -999999998}},
        {{INT32_MIN, 3}, {40, 25}},
    };
    for (const auto& e : ends) {
        TestBitmap b(50, 40);
        b.Canvas().MoveTo(e[0].X, e[0].Y);
        b.Canvas().LineTo(e[1].X, e[1].Y);
        TMask expected(50, 40);
        AddLine(expected, e[0], e[1]);
        EXPECT_EQ(MaskOf(b, Ink).Lit, expected.Lit) << e[0].X << "," << e[0].Y << " - " << e[1].X << "," << e[1].Y;
    }
    TestBitmap d(50, 40);  // the visible part of the long diagonal is the line y = x
    d.Canvas().MoveTo(INT32_MIN + 1, INT32_MIN + 1);
    d.Canvas().LineTo(INT32_MAX, INT32_MAX);
    EXPECT_EQ(CountIndex(d, Ink), 40);
    EXPECT_EQ(d.PixelIndex(39, 39), Ink);
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
