// The grid's layout, drawn on a recording surface: which lines, which labels, where.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <utility>

#include "RenderFakes.h"
#include "render/Grid.h"
#include "render/GridDrawing.h"

namespace gridloom {
namespace {

using test::TFakeSettings;
using test::TRecordingSurface;
using TCall = TRecordingSurface::TCall;

struct TGridRun {
    TRecordingSurface surface;
    std::vector<TCall> meridians, parallels, texts;

    explicit TGridRun(const TFakeSettings& settings, int lineHeight = 18) {
        surface.LineHeight = lineHeight;
        DrawGridOn(surface, settings);
        for (const TCall& c : surface.Calls) {
            if (c.Kind == TCall::Text)
                texts.push_back(c);
            else if (c.From.X == c.To.X)
                meridians.push_back(c);
            else
                parallels.push_back(c);
        }
    }
};

TEST(GridLayout, ThirtyDegreesSkipsTheEdgesAndPoles) {
    TFakeSettings settings;
    settings.Index = 6;
    TGridRun run(settings);
    std::vector<int> xs, ys;
    for (const TCall& c : run.meridians) {
        xs.push_back(c.From.X);
        EXPECT_EQ(c.From.Y, 3938);  // 89 S
        EXPECT_EQ(c.To.Y, 22);      // 89 N
    }
    for (const TCall& c : run.parallels) {
        ys.push_back(c.From.Y);
        EXPECT_EQ(c.From.X, 0);
        EXPECT_EQ(c.To.X, 7920);
    }
    EXPECT_EQ(xs.front(), LonLatToPixel(-150, 0).X);
    EXPECT_EQ(xs.back(), LonLatToPixel(150, 0).X);
    EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()));
    EXPECT_EQ(ys.front(), LonLatToPixel(0, -60).Y);
    EXPECT_EQ(ys.back(), LonLatToPixel(0, 60).Y);
    EXPECT_TRUE(std::is_sorted(ys.rbegin(), ys.rend()));  // south to north
}

TEST(GridLayout, NoneDrawsNothingAndTouchesNothing) {
    TFakeSettings settings;
    settings.Index = 7;
    settings.Annotation = true;
    TRecordingSurface surface;
    surface.Pen.Color = clYellow;
    surface.Font.Color = clGreen;
    DrawGridOn(surface, settings);
    EXPECT_TRUE(surface.Calls.empty());
    EXPECT_EQ(surface.Pen.Color, clYellow);
    EXPECT_EQ(surface.Font.Color, clGreen);
}

TEST(GridLayout, IndicesOutsideTheTableDrawTenDegrees) {
    for (int index : {-1, 8, 100, -2147483647 - 1}) {
        TFakeSettings settings;
        settings.Index = index;
        TGridRun run(settings);
        EXPECT_EQ(run.meridians.size(), 35u) << index;
        EXPECT_EQ(run.parallels.size(), 17u) << index;
    }
}

TEST(GridLayout, RedPenOfTheGridlineWidthAndBrushUntouched) {
    TFakeSettings settings;
    settings.GridWidth = 5;
    settings.Annotation = true;
    TRecordingSurface surface;
    surface.Brush.Color = clGreen;
    surface.Font.Color = clYellow;  // whatever the user chose, labels are red
    DrawGridOn(surface, settings);
    ASSERT_FALSE(surface.Calls.empty());
    for (const TCall& c : surface.Calls) {
        EXPECT_EQ(c.Pen.Color, clRed);
        EXPECT_EQ(c.Pen.Width, 5);
        EXPECT_EQ(c.Font.Color, clRed);
        EXPECT_EQ(c.Brush.Color, clGreen);
    }
}

// Widths from 1 to 100 are drawn as stored; a stored width no pen on this map can mean
// (0x400 would paint the sea red, 0x7fffffff freeze the window) is drawn at the bound.
TEST(GridLayout, WidthsBeyondTheBoundsAreDrawnAtTheBound) {
    const std::pair<int32_t, int32_t> cases[] = {
        {1, 1}, {7, 7}, {100, 100}, {101, 100}, {0x400, 100}, {0x7fffffff, 100}, {0, 1}, {-5, 1}, {INT32_MIN, 1}};
    for (auto [stored, drawn] : cases) {
        TFakeSettings settings;
        settings.GridWidth = stored;
        TRecordingSurface surface;
        DrawGridOn(surface, settings);
        ASSERT_FALSE(surface.Calls.empty());
        EXPECT_EQ(surface.Calls.front().Pen.Width, drawn) << stored;
    }
}

TEST(GridLayout, LabelledCrossingsAreMultiplesOfTen) {
    EXPECT_TRUE(IsLabelledCrossing(0, 0));
    EXPECT_TRUE(IsLabelledCrossing(-170, 80));
    EXPECT_TRUE(IsLabelledCrossing(30, -60));
    EXPECT_FALSE(IsLabelledCrossing(15, 15));
    EXPECT_FALSE(IsLabelledCrossing(30, 45));
    EXPECT_FALSE(IsLabelledCrossing(-5, 10));
}

TEST(GridLayout, LabelTexts) {
    EXPECT_EQ(MeridianLabel(-170), "170W");
    EXPECT_EQ(MeridianLabel(0), "0");
    EXPECT_EQ(MeridianLabel(30), "30E");
    EXPECT_EQ(ParallelLabel(-80), "80S");
    EXPECT_EQ(ParallelLabel(0), "0");
    EXPECT_EQ(ParallelLabel(60), "60N");
}

TEST(GridLayout, LabelsStandWhereTheyBelong) {
    TFakeSettings settings;
    settings.Index = 4;  // 15 degrees: labels at multiples of 30
    settings.Annotation = true;
    TGridRun run(settings);
    const TPoint crossing = LonLatToPixel(30, 60);
    // Below the crossing, centred on the meridian: "30E" is 21 wide, 18 high.
    auto below = std::find_if(run.texts.begin(), run.texts.end(), [&](const TCall& c) {
        return c.Label == "30E" && c.From == TPoint{crossing.X - 10, crossing.Y + 9};
    });
    EXPECT_NE(below, run.texts.end());
    // Left of the meridian, measured with two trailing spaces: "60N  " is 35 wide.
    auto left = std::find_if(run.texts.begin(), run.texts.end(), [&](const TCall& c) {
        return c.Label == "60N" && c.From == TPoint{crossing.X - 35, crossing.Y - 9};
    });
    EXPECT_NE(left, run.texts.end());

    std::set<std::string> labels;
    for (const TCall& c : run.texts) labels.insert(c.Label);
    EXPECT_EQ(labels.count("15E"), 0u);
    EXPECT_EQ(labels.count("15N"), 0u);
    EXPECT_EQ(labels.count("180E"), 0u);
    EXPECT_EQ(labels.count("90N"), 0u);
    // Longitudes -150..150 by 30 (11) at latitudes -60..60 by 30 (5), twice each.
    EXPECT_EQ(run.texts.size(), 2u * 11 * 5);
}

// Half a text height, rounded down: a label below a crossing starts h div 2 below it, one
// left of it is centred h div 2 above. An odd height tells h div 2 from (h + 1) div 2.
TEST(GridLayout, LabelsStandHalfATextHeightFromTheCrossing) {
    for (auto [h, half] : {std::pair{17, 8}, {18, 9}, {15, 7}}) {
        TFakeSettings settings;
        settings.Index = 4;
        settings.Annotation = true;
        TGridRun run(settings, h);
        const TPoint crossing = LonLatToPixel(30, 60);
        int below = 0, left = 0;
        for (const TCall& c : run.texts) {
            below += c.Label == "30E" && c.From == TPoint{crossing.X - 10, crossing.Y + half};
            left += c.Label == "60N" && c.From == TPoint{crossing.X - 35, crossing.Y - half};
        }
        EXPECT_EQ(below, 1) << "height " << h;
        EXPECT_EQ(left, 1) << "height " << h;
    }
    // The worked figures for 17: 8 below, 8 above.
    TFakeSettings settings;
    settings.Annotation = true;
    TGridRun run(settings, 17);
    const TPoint origin = LonLatToPixel(0, 0);
    bool under = false, beside = false;
    for (const TCall& c : run.texts) {
        under = under || (c.Label == "0" && c.From == TPoint{origin.X - 3, origin.Y + 8});
        beside = beside || (c.Label == "0" && c.From == TPoint{origin.X - 21, origin.Y - 8});
    }
    EXPECT_TRUE(under);
    EXPECT_TRUE(beside);
}

TEST(GridLayout, OneDegreeLabelsEveryTenDegrees) {
    TFakeSettings settings;
    settings.Index = 0;
    settings.Annotation = true;
    TGridRun run(settings);
    std::set<std::string> labels;
    for (const TCall& c : run.texts) labels.insert(c.Label);
    EXPECT_EQ(run.texts.size(), 2u * 35 * 17);
    EXPECT_TRUE(labels.count("170W") && labels.count("170E") && labels.count("80S") && labels.count("80N"));
    EXPECT_FALSE(labels.count("180W") || labels.count("90S"));
}

TEST(GridLayout, EquatorAndPrimeMeridianAreLabelledZero) {
    TFakeSettings settings;
    settings.Annotation = true;
    TGridRun run(settings);
    const TPoint origin = LonLatToPixel(0, 0);
    int below = 0, left = 0;
    for (const TCall& c : run.texts) {
        if (c.Label != "0") continue;
        // Under the prime meridian ("0" is 7 wide) or left of a crossing on the equator
        // (measured as "0  ", 21 wide).
        below += c.From.X == origin.X - 3;
        left += c.From.Y == origin.Y - 9;
    }
    EXPECT_EQ(below, 17);  // latitudes 80 S .. 80 N
    EXPECT_EQ(left, 35);   // longitudes 170 W .. 170 E
}

TEST(GridLayout, MeridiansAndTheirLabelsComeBeforeParallels) {
    TFakeSettings settings;
    settings.Annotation = true;
    TRecordingSurface surface;
    DrawGridOn(surface, settings);
    std::size_t firstParallel = surface.Calls.size(), lastMeridianOrItsLabel = 0;
    for (std::size_t i = 0; i < surface.Calls.size(); ++i) {
        const TCall& c = surface.Calls[i];
        const bool parallelPart = (c.Kind == TCall::Line && c.From.Y == c.To.Y) ||
                                  (c.Kind == TCall::Text && (c.Label.back() == 'N' || c.Label.back() == 'S'));
        if (parallelPart)
            firstParallel = std::min(firstParallel, i);
        else if (c.Kind == TCall::Line || c.Label.back() == 'E' || c.Label.back() == 'W')
            lastMeridianOrItsLabel = i;
    }
    EXPECT_LT(lastMeridianOrItsLabel, firstParallel);
}

}  // namespace
}  // namespace gridloom
