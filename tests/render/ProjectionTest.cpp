#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Projection.h"

namespace gridloom {
namespace {

TEST(LonLatToPixel, PlacesTheCornersAndCentre) {
    EXPECT_EQ(LonLatToPixel(0, 0), (TPoint{3960, 1980}));
    EXPECT_EQ(LonLatToPixel(-180, 90), (TPoint{0, 0}));
    EXPECT_EQ(LonLatToPixel(180, -90), (TPoint{7920, 3960}));  // one past the last pixel
    EXPECT_EQ(LonLatToPixel(0, -89).Y, 3938);
    EXPECT_EQ(LonLatToPixel(0, 89).Y, 22);
}

TEST(LonLatToPixel, WrapsOnlyBeyond180) {
    EXPECT_EQ(LonLatToPixel(190, 0), (TPoint{220, 1980}));
    EXPECT_EQ(LonLatToPixel(180, 0).X, 7920);
    EXPECT_EQ(LonLatToPixel(180.0001, 0).X, 0);
    EXPECT_EQ(LonLatToPixel(-190, 0).X, -220);  // no wrap below -180, no clamping
    EXPECT_EQ(LonLatToPixel(0, 100).Y, -220);
}

TEST(LonLatToPixel, RoundsTiesToEven) {
    EXPECT_EQ(LonLatToPixel(0.25, 0).X, 3966);   // 3965.5
    EXPECT_EQ(LonLatToPixel(0.75, 0).X, 3976);   // 3976.5
    EXPECT_EQ(LonLatToPixel(-0.25, 0).X, 3954);  // 3954.5
    EXPECT_EQ(LonLatToPixel(-0.75, 0).X, 3944);  // 3943.5
    // Beyond the left edge ties still go to the even neighbour, not away from zero.
    EXPECT_EQ(LonLatToPixel(-180.25, 0).X, -6);   // -5.5
    EXPECT_EQ(LonLatToPixel(-180.75, 0).X, -16);  // -16.5
    EXPECT_EQ(LonLatToPixel(0, 89.75).Y, 6);      // 5.5
    EXPECT_EQ(LonLatToPixel(0, 89.25).Y, 16);     // 16.5
    // Every whole minute of longitude lands where the plain library rounding puts it.
    for (int m = -180 * 60; m <= 180 * 60; ++m) {
        const double lon = m / 60.0;
        ASSERT_EQ(LonLatToPixel(lon, 0).X, static_cast<int32_t>(std::nearbyint((lon + 180) * 7920 / 360))) << m;
    }
}

TEST(LonLatToPixel, KeepsWildInputInRange) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(LonLatToPixel(-1e300, 0).X, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(LonLatToPixel(0, -inf).Y, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LonLatToPixel(std::nan(""), 0).X, 0);
}

}  // namespace
}  // namespace gridloom
