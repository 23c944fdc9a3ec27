// The shipped sample boundary file: it must load whole and draw without streaks.
#include "data/Cartography.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace gridloom {
namespace {

TEST(SampleData, LoadsWholeWithEverySegmentOnTheMapWithoutStreaks) {
    TCartogList list;
    list.LoadFromFile(GRIDLOOM_SOURCE_DIR "/sample/Countries.dat");
    ASSERT_GT(list.Count(), 1000);
    std::set<int> kinds;
    int32_t largest = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const TLineSegment& segment = list.GetSegment(i);
        kinds.insert(segment.Kind);
        largest = std::max(largest, segment.Count);
        for (int32_t j = 0; j < segment.Count; ++j) {
            const BoundaryPoint& p = segment.Points[j];
            ASSERT_LE(std::abs(p.Longitude), 10800) << "segment " << i;
            ASSERT_LE(std::abs(p.Latitude), 5400) << "segment " << i;
            if (j == 0) continue;
            const BoundaryPoint& q = segment.Points[j - 1];
            // The one wide step allowed is along a pole, where it closes Antarctica.
            if (std::abs(p.Longitude - q.Longitude) > 10800) {
                EXPECT_TRUE(p.Latitude == -5400 && q.Latitude == -5400) << "segment " << i << " point " << j;
            }
        }
    }
    // Land, borders, states and water.
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 5, 8}));
    EXPECT_EQ(list.MaxPoints(), largest);
}

}  // namespace
}  // namespace gridloom
