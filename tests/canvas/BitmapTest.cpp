// Palette mapping and resize semantics of the bitmap, and the master image reset.
#include <gtest/gtest.h>

#include "CanvasTestSupport.h"
#include "render/MasterImage.h"

namespace gridloom {
namespace {

TEST(Palette, DefaultPaletteOrderAndExactEntries) {
    EXPECT_EQ(DefaultPalette[0], clBlack);
    EXPECT_EQ(DefaultPalette[4], clNavy);
    EXPECT_EQ(DefaultPalette[8], RGB(192, 220, 192));
    EXPECT_EQ(DefaultPalette[11], RGB(160, 160, 164));
    EXPECT_EQ(DefaultPalette[19], clWhite);
    for (int i = 0; i < DefaultPaletteSize; ++i) EXPECT_EQ(PaletteIndexOf(DefaultPalette[i]), i);
    EXPECT_EQ(PaletteIndexOf(clNavy), 4);
    EXPECT_EQ(PaletteIndexOf(clGreen), 2);
    EXPECT_EQ(PaletteIndexOf(clYellow), 15);
    EXPECT_EQ(PaletteIndexOf(clRed), 13);
}

TEST(Palette, ColoursNotInThePaletteMapToTheNearestEntry) {
    EXPECT_EQ(PaletteIndexOf(RGB(250, 10, 5)), 13);     // nearly red
    EXPECT_EQ(PaletteIndexOf(RGB(0, 0, 110)), 4);       // dark blue: navy
    EXPECT_EQ(PaletteIndexOf(RGB(130, 131, 129)), 12);  // grey
    EXPECT_EQ(PaletteIndexOf(RGB(255, 250, 238)), 10);  // cream
    // Only the colour bytes count.
    EXPECT_EQ(PaletteIndexOf(clRed | 0xFF000000u), 13);
}

TEST(Bitmap, StartsEmpty) {
    TBitmap b;
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(10, 10);  // nothing to draw on, and no harm done
    const TPoint tri[] = {{0, 0}, {5, 0}, {0, 5}};
    b.Canvas().Polygon(tri, 3);
}

TEST(Bitmap, EnlargingPaintsOnlyNewPixelsWithTheBrush) {
    TestBitmap b(3, 2);  // white
    b.Canvas().Brush.Color = clRed;
    b.SetWidth(5);
    b.Canvas().Brush.Color = clBlack;
    b.SetHeight(3);
    EXPECT_EQ(Render(b), "...??\n...??\n#####\n");
    // Shrinking keeps what stays inside.
    b.SetWidth(4);
    EXPECT_EQ(Render(b), "...?\n...?\n####\n");
}

TEST(Bitmap, HeightZeroDiscardsThePicture) {
    TestBitmap b(4, 3);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(4, 0);
    b.SetHeight(0);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 0);
    b.Canvas().Brush.Color = clWhite;
    b.SetHeight(3);
    EXPECT_EQ(CountIndex(b, Paper), 12);
}

TEST(Bitmap, NegativeSizesCountAsZero) {
    TestBitmap b(4, 3);
    b.SetWidth(-5);
    EXPECT_EQ(b.Width(), 0);
    b.SetHeight(INT32_MIN);
    EXPECT_EQ(b.Height(), 0);
}

TEST(MasterImage, ResetLeavesAnAllNavyImageWhateverWasThere) {
    TBitmap b;
    ResetMasterImage(b);
    ASSERT_EQ(b.Width(), 7920);
    ASSERT_EQ(b.Height(), 3960);
    b.Canvas().Brush.Color = clGreen;
    const TPoint land[] = {{100, 100}, {5000, 300}, {2000, 3000}};
    b.Canvas().Polygon(land, 3);
    ResetMasterImage(b);
    EXPECT_EQ(b.Canvas().Brush.Color, clNavy);
    for (int32_t y = 0; y < b.Height(); ++y) {
        const uint8_t* row = b.ScanLine(y);
        for (int32_t x = 0; x < b.Width(); ++x) ASSERT_EQ(row[x], 4) << x << "," << y;
    }
}

}  // namespace
}  // namespace gridloom
