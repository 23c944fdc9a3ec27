// Wide pens: the midpoint disc at each end of a segment and the band between them.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

// A dot: a zero-length line with a wide pen is the pen's disc alone.
TMask Dot(int width) {
    TestBitmap b(41, 41);
    b.Canvas().Pen.Width = width;
    b.Canvas().MoveTo(20, 20);
    b.Canvas().LineTo(20, 20);
    return MaskOf(b, Ink);
}

TEST(CanvasStroke, DiscsOfWidths2To13AreMidpointCircles) {
    for (int width = 2; width <= 13; ++width) {
        TMask expected(41, 41);
        AddDisc(expected, {20, 20}, width);
        EXPECT_EQ(Dot(width).Lit, expected.Lit) << "width " << width;
    }
}

TEST(CanvasStroke, SmallDiscsPixelByPixel) {
    struct TCase {
        int Width;
        std::vector<std::string> Rows;  // around the pixel (20, 20), from row 18, column 18
    };
    const TCase cases[] = {
        {2, {".....", ".##..", ".##..", "....."}},
        {3, {".....", "..#..", ".###.", "..#..", "....."}},
        {4, {".##..", "####.", "####.", ".##..", "....."}},
        {5, {".###.", "#####", "#####", "#####", ".###."}},
    };
    for (const TCase& c : cases) {
        const TMask dot = Dot(c.Width);
        std::string got;
        for (int y = 18; y < 18 + int(c.Rows.size()); ++y) {
            for (int x = 18; x < 23; ++x) got += dot.At(x, y) ? '#' : '.';
            got += '\n';
        }
        std::string want;
        for (const std::string& row : c.Rows) want += row + '\n';
        EXPECT_EQ(got, want) << "width " << c.Width;
        int inRows = 0;
        for (const std::string& row : c.Rows) inRows += int(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(dot.Count(), inRows) << "width " << c.Width;  // nothing outside the picture
    }
}

// Widths 5, 7 and 11 happen to be the discs of all pixel centres within w/2 of the
// centre; 9 and 13 are not, which tells a midpoint circle from a Euclidean one.
TEST(CanvasStroke, MidpointDiscsDifferFromEuclideanOnesAt9And13) {
    for (int width : {5, 7, 9, 11, 13}) {
        TMask euclidean(41, 41);
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 41; ++x)
                if (4 * ((x - 20) * (x - 20) + (y - 20) * (y - 20)) <= width * width) euclidean.Set(x, y);
        const bool same = Dot(width).Lit == euclidean.Lit;
        EXPECT_EQ(same, width != 9 && width != 13) << "width " << width;
    }
}

TEST(CanvasStroke, BandsOfTheWorkedExamples) {
    TestBitmap b(40, 20);
    b.Canvas().Pen.Width = 3;
    b.Canvas().MoveTo(10, 10);
    b.Canvas().LineTo(20, 11);
    // Rows 9: x 10..20; 10: 9..20; 11: 10..21; 12: 20.
    EXPECT_EQ(CountIndex(b, Ink), 36);
    TMask expected(40, 20);
    for (int x = 10; x <= 20; ++x) expected.Set(x, 9);
    for (int x = 9; x <= 20; ++x) expected.Set(x, 10);
    for (int x = 10; x <= 21; ++x) expected.Set(x, 11);
    expected.Set(20, 12);
    EXPECT_EQ(MaskOf(b, Ink).Lit, expected.Lit);

    TestBitmap h(40, 20);
    h.Canvas().Pen.Width = 2;
    h.Canvas().MoveTo(10, 10);
    h.Canvas().LineTo(20, 10);
    TMask rows(40, 20);
    for (int y : {9, 10})
        for (int x = 9; x <= 20; ++x) rows.Set(x, y);
    EXPECT_EQ(MaskOf(h, Ink).Lit, rows.Lit);
    EXPECT_EQ(rows.Count(), 24);
}

// Draws the segment with a pen of the width on a w x h bitmap and compares the pixels with
// the rule written out in the test: both discs and the band filled point by point.
::testing::AssertionResult StrokeFollowsTheRule(TPoint a, TPoint z, int width, int w = 41, int h = 41) {
    TestBitmap b(w, h);
    b.Canvas().Pen.Width = width;
    b.Canvas().MoveTo(a.X, a.Y);
    b.Canvas().LineTo(z.X, z.Y);
    TMask expected(w, h);
    AddStroke(expected, a, z, width);
    if (MaskOf(b, Ink).Lit == expected.Lit) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "width " << width << " from " << a.X << "," << a.Y << " to " << z.X << ","
                                         << z.Y;
}

// Segments in many directions, at widths 2 to 4 and a few wider.
TEST(CanvasStroke, SegmentsInEveryDirectionFollowTheRule) {
    for (int width : {2, 3, 4, 5, 6, 9}) {
        for (int dy = -7; dy <= 7; ++dy)
            for (int dx = -7; dx <= 7; ++dx) ASSERT_TRUE(StrokeFollowsTheRule({20, 20}, {20 + dx, 20 + dy}, width));
        for (const auto& [a, z] : {std::pair<TPoint, TPoint>{{3, 5}, {37, 21}},
                                   {{38, 1}, {33, 39}},
                                   {{-30, 45}, {60, -7}},
                                   {{5, 40}, {41, -2}}})
            ASSERT_TRUE(StrokeFollowsTheRule(a, z, width));
    }
}

// A path is the union of its segments' strokes; an outline adds the closing segment.
TEST(CanvasStroke, PathsAreTheUnionOfTheirSegments) {
    std::mt19937 random(8);
    std::uniform_int_distribution<int32_t> coordinate(-10, 50);
    for (int round = 0; round < 60; ++round) {
        std::vector<TPoint> p(std::size_t(2 + round % 7));
        for (TPoint& q : p) q = {coordinate(random), coordinate(random)};
        const int width = 2 + round % 6;
        TestBitmap open(40, 40), closed(40, 40);
        open.Canvas().Pen.Width = closed.Canvas().Pen.Width = width;
        open.Canvas().Polyline(p.data(), int(p.size()));
        closed.Canvas().Brush.Color = clWhite;  // the fill in paper: only the outline shows
        closed.Canvas().Polygon(p.data(), int(p.size()));
        TMask path(40, 40);
        for (std::size_t i = 0; i + 1 < p.size(); ++i) AddStroke(path, p[i], p[i + 1], width);
        ASSERT_EQ(MaskOf(open, Ink).Lit, path.Lit) << "round " << round;
        AddStroke(path, p.back(), p.front(), width);
        ASSERT_EQ(MaskOf(closed, Ink).Lit, path.Lit) << "round " << round;
    }
}

TEST(CanvasStroke, HugeCoordinatesStrokeTheVisiblePart) {
    const TPoint ends[][2] = {
        {{INT32_MIN, 10}, {INT32_MAX, 12}},
        {{-1000000000, 1000000001}, {1000000003, -999999998}},
        {{INT32_MIN, 3}, {25, 25}},
        {{7, INT32_MAX}, {9, INT32_MIN}},
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}},
    };
    for (int width : {2, 5})
        for (const auto& e : ends) EXPECT_TRUE(StrokeFollowsTheRule(e[0], e[1], width, 50, 40));
}

}  // namespace
}  // namespace gridloom
