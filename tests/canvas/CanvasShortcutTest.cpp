// The quick routines for the common cases (straight lines, short steps inside the bitmap,
// polygons of ordinary coordinates) against the general ones they stand in for, pixel for
// pixel, on random data.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    for (int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width())) != 0) return false;
    return true;
}

// A ragged walk like a map outline: mostly steps of a few pixels, now and then a long
// jump, sometimes wandering off the bitmap and back.
std::vector<TPoint> Walk(std::mt19937& random, int count, int32_t width, int32_t height) {
    std::uniform_int_distribution<int> small(-3, 3), medium(-9, 9), kind(0, 99), far(-40, 40);
    std::vector<TPoint> points;
    TPoint p{int32_t(random() % uint32_t(width)), int32_t(random() % uint32_t(height))};
    for (int i = 0; i < count; ++i) {
        const int k = kind(random);
        if (k < 3)
            p = {p.X + far(random) * 5, p.Y + far(random) * 5};
        else if (k < 5)
            p = {p.X + far(random), p.Y};
        else if (k < 7)
            p = {p.X, p.Y + far(random)};
        else if (k < 30)
            p = {p.X + medium(random), p.Y + medium(random)};
        else
            p = {p.X + small(random), p.Y + small(random)};
        points.push_back(p);
    }
    return points;
}

TEST(CanvasShortcuts, PathsAndFillsMatchTheGeneralRoutines) {
    std::mt19937 random(2024);
    TRasterizer quick, general;
    general.Shortcuts = false;
    for (int round = 0; round < 200; ++round) {
        const int32_t width = 60 + int32_t(random() % 200), height = 40 + int32_t(random() % 120);
        const auto points = Walk(random, 3 + int(random() % 3000), width, height);
        const int count = int(points.size());
        const auto mode = round % 2 ? TPolyFillMode::Winding : TPolyFillMode::Alternate;
        TestBitmap a(width, height), b(width, height);
        quick.FillPolygon(a, points.data(), count, mode, Fill);
        general.FillPolygon(b, points.data(), count, mode, Fill);
        ASSERT_TRUE(SamePixels(a, b)) << "fill, round " << round;
        quick.OutlinePolygon(a, points.data(), count, 1, Ink);
        general.OutlinePolygon(b, points.data(), count, 1, Ink);
        ASSERT_TRUE(SamePixels(a, b)) << "outline, round " << round;
        TestBitmap c(width, height), d(width, height);
        quick.Polyline(c, points.data(), count, 1, Ink);
        general.Polyline(d, points.data(), count, 1, Ink);
        ASSERT_TRUE(SamePixels(c, d)) << "polyline, round " << round;
    }
}

TEST(CanvasShortcuts, WidePathsMatchTheGeneralRoutine) {
    std::mt19937 random(31);
    TRasterizer quick, general;
    general.Shortcuts = false;
    for (int round = 0; round < 300; ++round) {
        const int32_t width = 60 + int32_t(random() % 200), height = 40 + int32_t(random() % 120);
        const auto points = Walk(random, 2 + int(random() % 400), width, height);
        const int count = int(points.size());
        const int32_t pen = 2 + int32_t(random() % 12) + (round % 50 == 0 ? 60 : 0);
        TestBitmap a(width, height), b(width, height);
        quick.OutlinePolygon(a, points.data(), count, pen, Ink);
        general.OutlinePolygon(b, points.data(), count, pen, Ink);
        ASSERT_TRUE(SamePixels(a, b)) << "outline, round " << round << " pen " << pen;
        TestBitmap c(width, height), d(width, height);
        quick.Polyline(c, points.data(), count, pen, Ink);
        general.Polyline(d, points.data(), count, pen, Ink);
        ASSERT_TRUE(SamePixels(c, d)) << "polyline, round " << round << " pen " << pen;
    }
}

TEST(CanvasShortcuts, StraightAndShortLinesMatchTheGeneralRoutine) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int32_t> near(-30, 90), any(INT32_MIN, INT32_MAX), step(-3, 3);
    TRasterizer quick, general;
    general.Shortcuts = false;
    TestBitmap a(64, 48), b(64, 48), c(64, 48), d(64, 48);
    for (int round = 0; round < 20000; ++round) {
        auto coordinate = [&] { return round % 10 == 0 ? any(random) : near(random); };
        TPoint from{coordinate(), coordinate()}, to;
        switch (round % 3) {
        case 0: to = {coordinate(), from.Y}; break;
        case 1: to = {from.X, coordinate()}; break;
        default: to = {from.X + step(random), from.Y + step(random)}; break;
        }
        const uint8_t index = uint8_t(1 + round % 200);
        quick.Line(a, from, to, 1, index);
        general.Line(b, from, to, 1, index);
        ASSERT_TRUE(SamePixels(a, b)) << "round " << round << " from " << from.X << "," << from.Y << " to " << to.X
                                      << "," << to.Y;
        const int32_t pen = 2 + round % 12;
        quick.Line(c, from, to, pen, index);
        general.Line(d, from, to, pen, index);
        ASSERT_TRUE(SamePixels(c, d)) << "round " << round << " pen " << pen << " from " << from.X << "," << from.Y
                                      << " to " << to.X << "," << to.Y;
    }
}

// Straight segments shorter than a wide pen's radius, inside a path: past the segment's
// start only the disc at its end reaches.
TEST(CanvasShortcuts, ShortStraightStepsOfAWidePathMatchTheGeneralRoutine) {
    TRasterizer quick, general;
    general.Shortcuts = false;
    for (int32_t pen = 10; pen <= 24; ++pen)
        for (int32_t length = 5; length <= 14; ++length) {
            const TPoint down[] = {{20, 30}, {26, 30}, {26, 30 + length}, {26, 30}};
            const TPoint across[] = {{30, 20}, {30, 26}, {30 + length, 26}, {30, 26}};
            for (const TPoint* path : {down, across}) {
                TestBitmap a(64, 64), b(64, 64);
                quick.Polyline(a, path, 4, pen, Ink);
                general.Polyline(b, path, 4, pen, Ink);
                ASSERT_TRUE(SamePixels(a, b)) << "pen " << pen << " length " << length;
            }
        }
}

// Rows crossing hundreds of edges, on a bitmap wide enough to need more than two digits
// of the crossings' radix sort: a comb of thin teeth, every other pixel pair filled.
TEST(CanvasShortcuts, ManyCrossingsOnAWideBitmap) {
    const int32_t width = 40000, height = 6;
    std::vector<TPoint> comb;
    for (int32_t x = 0; x + 4 <= width; x += 4) {
        comb.push_back({x, 0});
        comb.push_back({x, 5});
        comb.push_back({x + 2, 5});
        comb.push_back({x + 2, 0});
    }
    for (const auto mode : {TPolyFillMode::Alternate, TPolyFillMode::Winding}) {
        TRasterizer quick, general;
        general.Shortcuts = false;
        TestBitmap a(width, height), b(width, height);
        quick.FillPolygon(a, comb.data(), int(comb.size()), mode, Fill);
        general.FillPolygon(b, comb.data(), int(comb.size()), mode, Fill);
        ASSERT_TRUE(SamePixels(a, b));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                ASSERT_EQ(a.PixelIndex(x, y), (y < 5 && x % 4 < 2) ? Fill : Paper) << x << "," << y;
    }
}

}  // namespace
}  // namespace gridloom
