// The quicker paths for short steps, 1-pixel ones written from a table and wide ones
// stamped from ready-made shapes, against the general routines they stand in for, pixel
// for pixel, on random data.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

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
        else if (k < 7)
            p = {p.X + far(random), p.Y + (k < 5 ? 0 : far(random))};
        else if (k < 30)
            p = {p.X + medium(random), p.Y + medium(random)};
        else
            p = {p.X + small(random), p.Y + small(random)};
        points.push_back(p);
    }
    return points;
}

TEST(CanvasShortcuts, OnePixelPathsMatchTheGeneralRoutine) {
    std::mt19937 random(2024);
    TRasterizer quick, general;
    general.Shortcuts = false;
    for (int round = 0; round < 300; ++round) {
        const int32_t width = 60 + int32_t(random() % 200), height = 40 + int32_t(random() % 120);
        const auto points = Walk(random, 2 + int(random() % 3000), width, height);
        const int count = int(points.size());
        TestBitmap a(width, height), b(width, height);
        quick.OutlinePolygon(a, points.data(), count, 1, Ink);
        general.OutlinePolygon(b, points.data(), count, 1, Ink);
        ASSERT_EQ(Render(a), Render(b)) << "outline, round " << round;
        TestBitmap c(width, height), d(width, height);
        quick.Polyline(c, points.data(), count, 1, Ink);
        general.Polyline(d, points.data(), count, 1, Ink);
        ASSERT_EQ(Render(c), Render(d)) << "polyline, round " << round;
    }
}

TEST(CanvasShortcuts, WidePathsMatchTheGeneralRoutine) {
    std::mt19937 random(31);
    TRasterizer quick, general;
    general.Shortcuts = false;
    for (int round = 0; round < 400; ++round) {
        const int32_t width = 60 + int32_t(random() % 200), height = 40 + int32_t(random() % 120);
        const auto points = Walk(random, 1 + int(random() % 400), width, height);
        const int count = int(points.size());
        // Pens 2 to 13, and now and then one past the shapes' limit.
        const int32_t pen = 2 + int32_t(random() % 12) + (round % 50 == 0 ? 60 : 0);
        TestBitmap a(width, height), b(width, height);
        quick.OutlinePolygon(a, points.data(), count, pen, Ink);
        general.OutlinePolygon(b, points.data(), count, pen, Ink);
        ASSERT_EQ(Render(a), Render(b)) << "outline, round " << round << " pen " << pen;
        TestBitmap c(width, height), d(width, height);
        quick.Polyline(c, points.data(), count, pen, Ink);
        general.Polyline(d, points.data(), count, pen, Ink);
        ASSERT_EQ(Render(c), Render(d)) << "polyline, round " << round << " pen " << pen;
        if (count >= 2) {
            TestBitmap e(width, height), f(width, height);
            quick.Line(e, points[0], points[1], pen, Ink);
            general.Line(f, points[0], points[1], pen, Ink);
            ASSERT_EQ(Render(e), Render(f)) << "line, round " << round << " pen " << pen;
        }
    }
}

}  // namespace
}  // namespace gridloom
