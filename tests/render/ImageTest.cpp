// Grid and boundaries drawn onto the full master image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "RenderFakes.h"
#include "render/Bitmap.h"
#include "render/Boundaries.h"
#include "render/Grid.h"
#include "render/MasterImage.h"
#include "render/Projection.h"

namespace gridloom {
namespace {

using test::Segment;
using test::TFakeProgress;
using test::TFakeSettings;
using test::TFakeTicks;

class MasterImage : public ::testing::Test {
protected:
    TBitmap bitmap;
    TFakeSettings settings;
    TFakeProgress progress;
    TFakeTicks ticks;

    void SetUp() override { Reset(); }
    void Reset() {
        ResetMasterImage(bitmap);
        bitmap.Canvas().PolyFillMode = TPolyFillMode::Winding;
        bitmap.Canvas().Font = {"Arial", 11, fsBold, clBlack};
    }
    TCanvas& canvas() { return bitmap.Canvas(); }

    int CountRow(int y, TColor c) const {
        int n = 0;
        for (int x = 0; x < bitmap.Width(); ++x) n += bitmap.Pixel(x, y) == c;
        return n;
    }
    int CountColumn(int x, TColor c) const {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y) n += bitmap.Pixel(x, y) == c;
        return n;
    }
    int64_t CountAll(TColor c) const {
        const uint8_t index = PaletteIndexOf(c);
        int64_t n = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) n += bitmap.ScanLine(y)[x] == index;
        return n;
    }
};

TEST_F(MasterImage, EveryGridIntervalDrawsItsLines) {
    const int meridians[] = {359, 179, 71, 35, 23, 17, 11};
    const int parallels[] = {179, 89, 35, 17, 11, 9, 5};
    // Between grid lines of every interval: 45.5 N and 0.5 E.
    const int row = LonLatToPixel(0, 45.5).Y;
    const int column = LonLatToPixel(0.5, 0).X;
    for (int index = 0; index < 7; ++index) {
        Reset();
        settings.Index = index;
        DrawGrid(canvas(), settings);
        EXPECT_EQ(CountRow(row, clRed), meridians[index]) << index;
        EXPECT_EQ(CountColumn(column, clRed), parallels[index]) << index;
    }
}

TEST_F(MasterImage, NoGridDrawsNothing) {
    settings.Index = 7;
    settings.Annotation = true;
    DrawGrid(canvas(), settings);
    EXPECT_EQ(CountAll(clRed), 0);
}

TEST_F(MasterImage, GridLinesSpanTheirExtent) {
    settings.Index = 6;
    DrawGrid(canvas(), settings);
    const int equator = LonLatToPixel(0, 0).Y;
    EXPECT_EQ(CountRow(equator, clRed), 7920);  // parallels cover the full width
    const int meridian = LonLatToPixel(30, 0).X;
    // From 89 S (3938) up to, not including, 89 N (22); the five parallels lie on it too.
    EXPECT_EQ(CountColumn(meridian, clRed), 3938 - 22);
    EXPECT_EQ(bitmap.Pixel(meridian, 21), clNavy);
    EXPECT_EQ(bitmap.Pixel(meridian, 3938), clRed);
    EXPECT_EQ(CountColumn(0, clRed), 5);  // no meridian on the left edge
}

TEST_F(MasterImage, WideGridLines) {
    settings.Index = 6;
    settings.GridWidth = 5;
    DrawGrid(canvas(), settings);
    const int row = LonLatToPixel(0, 45.5).Y;
    const int x = LonLatToPixel(0, 0).X;
    for (int dx = -2; dx <= 2; ++dx) EXPECT_EQ(bitmap.Pixel(x + dx, row), clRed) << dx;
    EXPECT_EQ(bitmap.Pixel(x - 3, row), clNavy);
    EXPECT_EQ(bitmap.Pixel(x + 3, row), clNavy);
}

TEST_F(MasterImage, LabelsAreOpaqueRedOnTheCurrentBrush) {
    settings.Index = 3;
    settings.Annotation = true;
    canvas().Font.Color = clYellow;
    canvas().Brush.Color = clGreen;  // as the boundary drawing may leave it
    DrawGrid(canvas(), settings);
    EXPECT_EQ(canvas().Font.Color, clRed);
    EXPECT_EQ(canvas().Brush.Color, clGreen);
    EXPECT_EQ(CountAll(clYellow), 0);

    // "30E" below the crossing 30 E, 60 N: its cell holds only the brush and red glyphs,
    // though the meridian runs through it.
    const TPoint p = LonLatToPixel(30, 60);
    const int w = canvas().TextWidth("30E"), h = canvas().TextHeight("30E");
    const int left = p.X - w / 2, top = p.Y + h / 2;
    int green = 0, red = 0;
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) {
            green += bitmap.Pixel(x, y) == clGreen;
            red += bitmap.Pixel(x, y) == clRed;
        }
    EXPECT_EQ(green + red, w * h);
    EXPECT_GT(red, 10);
    EXPECT_GT(green, red);
    // The meridian shows again below the cell.
    EXPECT_EQ(bitmap.Pixel(p.X, top + h), clRed);

    // "60N" ends two space-widths short of the meridian, centred on the parallel.
    const int wn = canvas().TextWidth("60N  "), tn = canvas().TextWidth("60N");
    const int ln = p.X - wn, topn = p.Y - h / 2;
    int cellN = 0;
    for (int y = topn; y < topn + h; ++y)
        for (int x = ln; x < ln + tn; ++x) cellN += bitmap.Pixel(x, y) == clGreen || bitmap.Pixel(x, y) == clRed;
    EXPECT_EQ(cellN, tn * h);
    EXPECT_EQ(bitmap.Pixel(ln + tn, p.Y), clRed);  // the spaces are not drawn: the line shows
    EXPECT_EQ(bitmap.Pixel(ln + tn, p.Y - 3), clNavy);
}

// An Antarctica-like ring round the South Pole, crossing the dateline at 85 S; walked
// westward it is the same ring with its points in reverse order.
std::vector<std::pair<int, int>> SouthernRing(bool eastward) {
    std::vector<std::pair<int, int>> ring = {
        {-90 * 60, -75 * 60}, {0, -70 * 60}, {90 * 60, -75 * 60}, {10770, -85 * 60}, {-10770, -85 * 60}};
    if (!eastward) std::reverse(ring.begin(), ring.end());
    return ring;
}

TEST_F(MasterImage, SouthernRingFillsTheBottomStripEitherWay) {
    int64_t filled[2] = {0, 0};
    for (bool eastward : {true, false}) {
        Reset();
        TCartogList list;
        list.AddSegment(Segment(0, SouthernRing(eastward)));
        DrawBoundaries(canvas(), list, settings, progress, ticks);
        filled[eastward] = CountAll(clGreen) + CountAll(clYellow);
        for (int x : {5, 1000, 3960, 7000, 7915}) {
            EXPECT_EQ(bitmap.Pixel(x, 3950), clGreen) << eastward << " " << x;
            EXPECT_EQ(bitmap.Pixel(x, 3400), clNavy) << eastward << " " << x;
        }
        EXPECT_EQ(bitmap.Pixel(3960, 3600), clGreen) << eastward;
        EXPECT_EQ(CountRow(3000, clYellow) + CountRow(3000, clGreen), 0) << eastward;
        // The outline goes round by the edges and the bottom too: no boundary line runs
        // across the map along the parallel where the ring jumps.
        EXPECT_LT(CountRow(LonLatToPixel(0, -85).Y, clYellow), 100) << eastward;
        EXPECT_GT(CountRow(3959, clYellow), 7900) << eastward;
    }
    // A line and its reverse light the same pixels but for their ends, and a closed
    // outline lights every vertex: the ring and its reverse come out the same.
    EXPECT_EQ(filled[0], filled[1]);
    EXPECT_GT(filled[0], int64_t(7900) * 300);
}

TEST_F(MasterImage, HiddenBoundariesLeaveNoYellow) {
    TCartogList list;
    list.AddSegment(Segment(0, {{0, 0}, {600, 0}, {600, 600}, {0, 600}}));
    list.AddSegment(Segment(1, {{1200, 0}, {1800, 600}}));
    list.AddSegment(Segment(8, {{100, 100}, {300, 100}, {300, 300}}));
    settings.Show = false;
    settings.BorderWidth = 3;
    DrawBoundaries(canvas(), list, settings, progress, ticks);
    EXPECT_EQ(CountAll(clYellow), 0);
    EXPECT_GT(CountAll(clGreen), 200 * 200);
    // The lake inside the land is navy again.
    const TPoint lake = LonLatToPixel(4, 3);
    EXPECT_EQ(bitmap.Pixel(lake.X, lake.Y), clNavy);

    Reset();
    settings.Show = true;
    DrawBoundaries(canvas(), list, settings, progress, ticks);
    EXPECT_GT(CountAll(clYellow), 4 * 220);
}

}  // namespace
}  // namespace gridloom
