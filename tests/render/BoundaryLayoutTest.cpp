// The boundary drawing on a recording surface: collected pixels, kinds, progress, refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RenderFakes.h"
#include "render/BoundaryDrawing.h"
#include "render/Projection.h"

namespace gridloom {
namespace {

using test::Segment;
using test::TFakeProgress;
using test::TFakeSettings;
using test::TFakeTicks;
using test::TRecordingSurface;
using TCall = TRecordingSurface::TCall;

std::vector<TPoint> Collect(const TLineSegment& segment) {
    std::vector<TPoint> work(8);  // small, so the tests also exercise growing it
    const std::size_t n = CollectSegmentPixels(segment, work);
    return {work.begin(), work.begin() + static_cast<std::ptrdiff_t>(n)};
}

// 85 S is 3850; 179.5 E is column 7909 and 179.5 W column 11.
constexpr int S85 = -85 * 60;
constexpr int E1795 = 10770;
constexpr int W1795 = -10770;

TEST(BoundaryPixels, EastwardRingWrapsDownTheRightEdge) {
    auto s = Segment(0, {{0, -70 * 60}, {E1795, S85}, {W1795, S85}});
    const std::vector<TPoint> expected = {{3960, 3520}, {7909, 3850}, {7909, 3850}, {7919, 3850},
                                          {7919, 3959}, {0, 3959},    {0, 3850},    {11, 3850}};
    EXPECT_EQ(Collect(*s), expected);
}

TEST(BoundaryPixels, WestwardRingWrapsDownTheLeftEdge) {
    auto s = Segment(0, {{0, -70 * 60}, {W1795, S85}, {E1795, S85}});
    const std::vector<TPoint> expected = {{3960, 3520}, {11, 3850},   {11, 3850},   {0, 3850},
                                          {0, 3959},    {7919, 3959}, {7919, 3850}, {7909, 3850}};
    EXPECT_EQ(Collect(*s), expected);
}

TEST(BoundaryPixels, WrapMidpointTruncates) {
    // 85 S (3850) to 85.05 S (3851.1 -> 3851): the sum 7701 halves to 3850.
    auto s = Segment(0, {{E1795, S85}, {W1795, S85 - 3}});
    const std::vector<TPoint> got = Collect(*s);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[6].Y, 3851);
    EXPECT_EQ(got[2], (TPoint{7919, 3850}));
}

TEST(BoundaryPixels, NoWrapAtOrNorthOf82South) {
    auto at82 = Segment(0, {{E1795, -82 * 60}, {W1795, -82 * 60}});
    EXPECT_EQ(Collect(*at82).size(), 2u);
    auto south = Segment(0, {{E1795, -82 * 60 - 1}, {W1795, -82 * 60 - 1}});
    EXPECT_EQ(Collect(*south).size(), 7u);
}

TEST(BoundaryPixels, WrapsOnlyJumpsWiderThan7128) {
    // Column 0 to column 7128 (144 E) is not a wrap; to 7129 (144.05 E) is.
    auto exact = Segment(0, {{-180 * 60, S85}, {144 * 60, S85}});
    ASSERT_EQ(Collect(*exact).back().X, 7128);
    EXPECT_EQ(Collect(*exact).size(), 2u);
    auto wider = Segment(0, {{-180 * 60, S85}, {144 * 60 + 3, S85}});
    ASSERT_EQ(Collect(*wider).back().X, 7129);
    EXPECT_EQ(Collect(*wider).size(), 7u);
}

TEST(BoundaryPixels, FirstPointFarEastAndSouthStartsNoWedge) {
    auto s = Segment(0, {{E1795, S85}, {E1795 - 60, S85}});
    const std::vector<TPoint> expected = {{7909, 3850}, {7887, 3850}};
    EXPECT_EQ(Collect(*s), expected);
}

TEST(BoundaryPixels, FirstPointIsKeptWhereverItFalls) {
    // Just west of -180 and just north of the pole: the pixel (-1, -1) itself.
    auto s = Segment(0, {{-180 * 60 - 2, 90 * 60 + 2}, {0, 0}});
    const std::vector<TPoint> got = Collect(*s);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (TPoint{-1, -1}));
}

TEST(BoundaryPixels, RepeatedPixelsAreDropped) {
    // One minute is about a third of a pixel: all of these fall on (3960, 1980).
    auto same = Segment(0, {{0, 0}, {1, 0}, {0, 1}, {0, 0}});
    const std::vector<TPoint> twoEqual = {{3960, 1980}, {3960, 1980}};
    EXPECT_EQ(Collect(*same), twoEqual);

    auto middle = Segment(1, {{0, 0}, {1, 0}, {60, 0}, {61, 0}, {120, 0}});
    const std::vector<TPoint> kept = {{3960, 1980}, {3982, 1980}, {4004, 1980}};
    EXPECT_EQ(Collect(*middle), kept);

    auto single = Segment(0, {{0, 0}});
    EXPECT_EQ(Collect(*single).size(), 1u);
}

TEST(BoundaryPixels, MissingOrNegativePointsCollectNothing) {
    TLineSegment negative;
    negative.Count = -5;
    EXPECT_TRUE(Collect(negative).empty());
    TLineSegment missing;
    missing.Count = 3;  // points never allocated
    EXPECT_TRUE(Collect(missing).empty());
}

TEST(BoundaryPixels, WorkingArrayGrowsForManyWraps) {
    std::vector<std::pair<int, int>> zigzag;
    for (int i = 0; i < 200; ++i) zigzag.push_back({i % 2 ? E1795 : W1795, S85});
    auto s = Segment(0, zigzag);
    const std::vector<TPoint> got = Collect(*s);
    ASSERT_EQ(got.size(), 200u + 199u * 5u);
    EXPECT_EQ(got.back(), (TPoint{7909, 3850}));
    EXPECT_EQ(got[got.size() - 2], (TPoint{7919, 3850}));  // the last detour, westward
}

TEST(BoundaryPixels, WorkingArrayIgnoresAnInflatedMaxPoints) {
    // One real segment of two points, then a terminator claiming 2^31 - 1 points.
    std::vector<unsigned char> bytes = {2, 0, 0, 0, 0, 1, 0, 1, 0, 2, 0, 2, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0};
    TByteStream stream(bytes.data(), bytes.size());
    TCartogList list;
    list.LoadFromStream(stream);
    ASSERT_EQ(list.MaxPoints(), 0x7FFFFFFF);
    EXPECT_LT(BoundaryWorkingSize(list), 1000u);

    TRecordingSurface surface;
    TFakeSettings settings;
    TFakeProgress progress;
    TFakeTicks ticks;
    DrawBoundariesOn(surface, list, settings, progress, ticks);
    EXPECT_EQ(surface.Calls.size(), 1u);
}

// The collection written out plainly, point by point through LonLatToPixel, to check the
// drawing's faster projection against.
std::vector<TPoint> PlainCollect(const TLineSegment& s) {
    std::vector<TPoint> out;
    TPoint prev{};
    for (int j = 0; j < s.Count; ++j) {
        const double lat = s.Points[j].Latitude / 60.0;
        const TPoint p = LonLatToPixel(s.Points[j].Longitude / 60.0, lat);
        const int dx = std::abs(prev.X - p.X), dy = std::abs(prev.Y - p.Y);
        if (j > 0 && dx > 7128 && lat < -82) {
            const int m = (prev.Y + p.Y) / 2;
            const int from = p.X > prev.X ? 0 : 7919;
            out.insert(out.end(), {prev, {from, m}, {from, 3959}, {7919 - from, 3959}, {7919 - from, m}});
        }
        if (j == 0 || dx > 0 || dy > 0 || j == s.Count - 1) {
            out.push_back(p);
            prev = p;
        }
    }
    return out;
}

TEST(BoundaryPixels, SameAsProjectingEachPointPlainly) {
    // Random walks over the whole range of the stored minutes, wild values included.
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, int(seed >> 16); };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::pair<int, int>> points;
        int lon = next() % 65536 - 32768, lat = next() % 65536 - 32768;
        for (int i = 0; i < 5000; ++i) {
            if (next() % 50 == 0) {
                lon = next() % 65536 - 32768;
                lat = (next() % 2 ? -5400 : 0) + next() % 600 - 300;
            }
            lon = std::clamp(lon + next() % 7 - 3, -32768, 32767);
            lat = std::clamp(lat + next() % 7 - 3, -32768, 32767);
            points.push_back({lon, lat});
        }
        auto s = Segment(0, points);
        ASSERT_EQ(Collect(*s), PlainCollect(*s)) << round;
    }
}

struct TBoundaryRun {
    TCartogList list;
    TRecordingSurface surface;
    TFakeSettings settings;
    TFakeProgress progress;
    TFakeTicks ticks;
    void Draw() { DrawBoundariesOn(surface, list, settings, progress, ticks); }
};

TEST(BoundaryDrawing, KindsChooseShapeAndBrush) {
    for (int kind = 0; kind < 256; ++kind) {
        TBoundaryRun run;
        run.list.AddSegment(Segment(static_cast<uint8_t>(kind), {{0, 0}, {600, 0}, {600, 600}}));
        run.surface.Brush.Color = clWhite;
        run.surface.Pen.Color = clBlack;
        run.Draw();
        EXPECT_EQ(run.surface.Pen.Color, clYellow) << kind;  // set even for kinds not drawn
        EXPECT_EQ(run.progress.Positions, std::vector<int>{0}) << kind;
        switch (kind) {
        case 0:
        case 1:
        case 4:
        case 5:
        case 8:
        case 9: {
            ASSERT_EQ(run.surface.Calls.size(), 1u) << kind;
            const TCall& c = run.surface.Calls[0];
            EXPECT_EQ(c.Kind, kind & 1 ? TCall::Polyline : TCall::Polygon) << kind;
            EXPECT_EQ(c.Brush.Color, kind >= 8 ? clNavy : clGreen) << kind;
            EXPECT_EQ(c.Points.size(), 3u);
            break;
        }
        default: EXPECT_TRUE(run.surface.Calls.empty()) << kind; EXPECT_EQ(run.surface.Brush.Color, clWhite) << kind;
        }
    }
}

TEST(BoundaryDrawing, EmptySegmentSetsColoursButDrawsNothing) {
    TBoundaryRun run;
    run.list.AddSegment(Segment(8, {}));
    run.Draw();
    EXPECT_TRUE(run.surface.Calls.empty());
    EXPECT_EQ(run.surface.Brush.Color, clNavy);
    EXPECT_EQ(run.surface.Pen.Color, clYellow);
}

TEST(BoundaryDrawing, EmptyListDrawsAndReportsNothing) {
    TBoundaryRun run;
    run.Draw();
    EXPECT_TRUE(run.surface.Calls.empty());
    EXPECT_TRUE(run.progress.Positions.empty());
    EXPECT_TRUE(run.progress.RefreshedAt.empty());
}

TEST(BoundaryDrawing, PenFromTheSettings) {
    TBoundaryRun run;
    run.settings.Show = false;
    run.settings.BorderWidth = 4;
    run.list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}}));
    run.list.AddSegment(Segment(9, {{0, 0}, {600, 0}}));
    run.Draw();
    ASSERT_EQ(run.surface.Calls.size(), 2u);
    for (const TCall& c : run.surface.Calls) {
        EXPECT_EQ(c.Pen.Color, clGreen);
        EXPECT_EQ(c.Pen.Width, 4);
    }
}

TEST(BoundaryDrawing, WidthsBeyondTheBoundsAreDrawnAtTheBound) {
    const std::pair<int32_t, int32_t> cases[] = {{5, 5}, {100, 100}, {0x400, 100}, {0x7fffffff, 100}, {0, 1}, {-1, 1}};
    for (auto [stored, drawn] : cases) {
        TBoundaryRun run;
        run.settings.BorderWidth = stored;
        run.list.AddSegment(Segment(9, {{0, 0}, {600, 0}}));
        run.Draw();
        ASSERT_EQ(run.surface.Calls.size(), 1u);
        EXPECT_EQ(run.surface.Calls.front().Pen.Width, drawn) << stored;
    }
}

TEST(BoundaryDrawing, ShowBoundariesIsReadOnceAtTheStart) {
    TBoundaryRun run;
    for (int i = 0; i < 4; ++i) run.list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}}));
    run.progress.OnProgress = [&](int) { run.settings.Show = false; };
    run.Draw();
    EXPECT_EQ(run.settings.ShowBoundariesReads, 1);
    for (const TCall& c : run.surface.Calls) EXPECT_EQ(c.Pen.Color, clYellow);
    // The next run reads the changed setting.
    run.surface.Calls.clear();
    run.Draw();
    EXPECT_EQ(run.surface.Calls.back().Pen.Color, clGreen);
}

TEST(BoundaryDrawing, ProgressIsThePercentageBeforeEachSegment) {
    TBoundaryRun run;
    for (int i = 0; i < 3; ++i) run.list.AddSegment(Segment(2, {{0, 0}}));
    run.Draw();
    EXPECT_EQ(run.progress.Positions, (std::vector<int>{0, 33, 66}));
}

TEST(BoundaryDrawing, RefreshesAtMostEvery350Ms) {
    TBoundaryRun run;
    for (int i = 0; i < 10; ++i) run.list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}}));
    run.ticks.Step = 100;  // every reading of the clock is 100 ms later than the one before
    run.Draw();
    // The first segment always refreshes; after that the clock must move on more than 350.
    EXPECT_EQ(run.progress.RefreshedAt, (std::vector<std::size_t>{1, 5, 9}));
}

// The clock landing exactly on the limit: 350 ms after the last refresh is not yet more
// than 350, 351 is.
TEST(BoundaryDrawing, RefreshWaitsForMoreThan350MsExactly) {
    TBoundaryRun run;
    for (int i = 0; i < 3; ++i) run.list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}}));
    const uint32_t refreshedAt = run.ticks.Now;  // Step 0: the first refresh reads this time
    run.progress.OnProgress = [&](int) {
        const std::size_t segment = run.progress.Positions.size() - 1;
        if (segment == 1) run.ticks.Now = refreshedAt + 350;
        if (segment == 2) run.ticks.Now = refreshedAt + 351;
    };
    run.Draw();
    EXPECT_EQ(run.progress.RefreshedAt, (std::vector<std::size_t>{1, 3}));
}

TEST(BoundaryDrawing, RefreshSurvivesTheTickCounterWrapping) {
    TBoundaryRun run;
    for (int i = 0; i < 4; ++i) run.list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}}));
    run.ticks.Now = 0xFFFFFF00u;
    run.progress.OnProgress = [&](int) {
        if (run.progress.Positions.size() == 3)
            run.ticks.Now = 0x100;  // 512 ms after the first refresh, across the wrap
    };
    run.Draw();
    EXPECT_EQ(run.progress.RefreshedAt, (std::vector<std::size_t>{1, 3}));
}

}  // namespace
}  // namespace gridloom
