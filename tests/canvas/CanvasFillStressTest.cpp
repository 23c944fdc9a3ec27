// The scanline fill against a direct pixel-by-pixel evaluation of its definition, on many
// random polygons; and random far-flung polygons that must neither crash nor take long.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

// Inside when the crossings at or left of the pixel centre, on the centre's row line, wind
// (or count, for even-odd) to non-zero. Centres exactly on an edge thus belong to the
// right-hand side, and edge ends follow the half-open [top, bottom) rule.
bool InsideByDefinition(const std::vector<TPoint>& p, int x, int y, TPolyFillMode mode) {
    const double cx = x + 0.5, cy = y + 0.5;
    int winding = 0, crossings = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const TPoint a = p[i], b = p[(i + 1) % p.size()];
        if (a.Y == b.Y) continue;
        const bool down = a.Y < b.Y;
        const TPoint t = down ? a : b, u = down ? b : a;
        if (cy < t.Y || cy >= u.Y) continue;
        // Crossing x <= cx, exactly: (cx - t.X) * (u.Y - t.Y) >= (cy - t.Y) * (u.X - t.X).
        if ((cx - t.X) * (u.Y - t.Y) >= (cy - t.Y) * (u.X - t.X)) {
            winding += down ? 1 : -1;
            ++crossings;
        }
    }
    return mode == TPolyFillMode::Winding ? winding != 0 : crossings % 2 != 0;
}

TEST(CanvasFill, RandomPolygonsFillExactlyTheirDefinition) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> coordinate(-8, 48), size(3, 12);
    TRasterizer raster;
    for (int round = 0; round < 300; ++round) {
        std::vector<TPoint> p(std::size_t(size(random)));
        for (auto& q : p) q = {coordinate(random), coordinate(random)};
        for (const auto mode : {TPolyFillMode::Alternate, TPolyFillMode::Winding}) {
            TestBitmap b(40, 40);
            raster.FillPolygon(b, p.data(), int(p.size()), mode, Fill);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    ASSERT_EQ(b.PixelIndex(x, y) == Fill, InsideByDefinition(p, x, y, mode))
                        << "round " << round << " pixel " << x << "," << y;
        }
    }
}

TEST(CanvasFill, FarFlungRandomPolygonsAreSafe) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> pick(0, 3), small(-20, 60);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    auto coordinate = [&]() -> int32_t {
        switch (pick(random)) {
        case 0: return INT32_MIN;
        case 1: return INT32_MAX;
        case 2: return any(random);
        default: return small(random);
        }
    };
    TestBitmap b(40, 30);
    for (int round = 0; round < 500; ++round) {
        std::vector<TPoint> p(std::size_t(3 + round % 6));
        for (auto& q : p) q = {coordinate(), coordinate()};
        b.Canvas().Pen.Width = round % 4 == 0 ? 7 : 1;
        b.Canvas().PolyFillMode = round % 2 ? TPolyFillMode::Winding : TPolyFillMode::Alternate;
        b.Canvas().Polygon(p.data(), int(p.size()));
        b.Canvas().Polyline(p.data(), int(p.size()));
    }
    SUCCEED();
}

}  // namespace
}  // namespace gridloom
