// The scanline fill, the outline and wide strokes against the rules written out plainly,
// on many random polygons, near the bitmap and anywhere in the 32-bit range.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "CanvasTestSupport.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

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
            TMask expected(40, 40);
            AddFill(expected, Corners(p), mode == TPolyFillMode::Winding);
            ASSERT_EQ(MaskOf(b, Fill).Lit, expected.Lit) << "round " << round;
        }
    }
}

// Vertices at the ends of the 32-bit range, anywhere in it, or near the bitmap: the fill,
// the 1-pixel outline and a wide one still give exactly the pixels of their definitions.
TEST(CanvasFill, FarFlungRandomPolygonsFollowTheRules) {
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
    TRasterizer raster;
    for (int round = 0; round < 300; ++round) {
        std::vector<TPoint> p(std::size_t(3 + round % 6));
        for (auto& q : p) q = {coordinate(), coordinate()};
        const auto mode = round % 2 ? TPolyFillMode::Winding : TPolyFillMode::Alternate;
        TestBitmap fill(40, 30);
        raster.FillPolygon(fill, p.data(), int(p.size()), mode, Fill);
        TMask inside(40, 30);
        AddFill(inside, Corners(p), mode == TPolyFillMode::Winding);
        ASSERT_EQ(MaskOf(fill, Fill).Lit, inside.Lit) << "fill, round " << round;

        const int width = round % 3 == 0 ? 5 : 1;
        TestBitmap outline(40, 30);
        raster.OutlinePolygon(outline, p.data(), int(p.size()), width, Ink);
        TMask edges(40, 30);
        for (std::size_t i = 0; i < p.size(); ++i) AddStroke(edges, p[i], p[(i + 1) % p.size()], width);
        ASSERT_EQ(MaskOf(outline, Ink).Lit, edges.Lit) << "outline, round " << round << " width " << width;
    }
}

}  // namespace
}  // namespace gridloom
