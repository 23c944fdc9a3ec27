// The screen pixels of the display: the fitted view averages the image area under each
// screen pixel, so thin lines tint their pixel instead of vanishing, and any part of the
// view comes out exactly as it does within the whole.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "render/AreaScaler.h"
#include "render/Bitmap.h"

namespace gridloom {
namespace {

constexpr uint32_t Navy = 0xff000080u;
constexpr uint32_t Green = 0xff008000u;

void Paint(TBitmap& bitmap, int width, int height, TColor colour) {
    bitmap.Canvas().Brush.Color = colour;
    bitmap.SetWidth(width);
    bitmap.SetHeight(height);
}

void SetPixel(TBitmap& bitmap, int x, int y, TColor colour) { bitmap.ScanLine(y)[x] = PaletteIndexOf(colour); }

std::vector<uint32_t> Scaled(const TBitmap& bitmap, int width, int height) {
    std::vector<uint32_t> out(std::size_t(width) * height, 0);
    TAreaScaler scaler;
    scaler.Scale(bitmap, width, height, {0, 0, width, height}, out.data(), width);
    return out;
}

TEST(AreaScaler, EveryOneXOnePixelLineStillShowsAfterShrinking) {
    TBitmap bitmap;
    Paint(bitmap, 792, 396, clNavy);
    for (int x = 0; x < 40; ++x) {  // one yellow column at each of forty positions in turn
        for (int y = 0; y < 396; ++y) SetPixel(bitmap, x, y, clYellow);
        const std::vector<uint32_t> out = Scaled(bitmap, 73, 37);
        const uint32_t tinted = out[std::size_t(20 * 73 + (x * 73) / 792)];
        EXPECT_NE(tinted, Navy) << "column " << x;
        EXPECT_GT((tinted >> 16) & 0xff, 0u) << "column " << x;  // some of the yellow's red shows
        for (int y = 0; y < 396; ++y) SetPixel(bitmap, x, y, clNavy);
    }
}

TEST(AreaScaler, ScreenPixelsAreTheAverageOfTheAreaTheyCover) {
    TBitmap bitmap;
    Paint(bitmap, 40, 20, clNavy);
    // The left half green: a 4:1 shrink puts the edge on a screen-pixel boundary.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) SetPixel(bitmap, x, y, clGreen);
    std::vector<uint32_t> out = Scaled(bitmap, 10, 5);
    EXPECT_EQ(out[4], Green);
    EXPECT_EQ(out[5], Navy);

    // 13 columns, each 40/13 image pixels wide: column 6 covers image x from 18.46 to
    // 21.54, half green, half navy. Light, not the sRGB numbers, is what mixes: each
    // channel shows half of 128's light.
    out = Scaled(bitmap, 13, 5);
    const uint32_t mixed = out[6];
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double half = 0.5 * linear(128 / 255.0);
    const double expected = 255 * (1.055 * std::pow(half, 1 / 2.4) - 0.055);  // about 93, not 64
    EXPECT_NEAR((mixed >> 8) & 0xff, expected, 1.0);
    EXPECT_NEAR(mixed & 0xff, expected, 1.0);
    EXPECT_EQ((mixed >> 16) & 0xff, 0u);
}

TEST(AreaScaler, APartComesOutAsWithinTheWhole) {
    TBitmap bitmap;
    Paint(bitmap, 997, 503, clNavy);
    std::mt19937 random(7);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) bitmap.ScanLine(y)[x] = uint8_t(random() % DefaultPaletteSize);
    for (const auto& [w, h] : {std::pair{131, 67}, std::pair{997, 503}, std::pair{1500, 900}}) {
        const std::vector<uint32_t> whole = Scaled(bitmap, w, h);
        std::vector<uint32_t> part(40 * 30, 0);
        TAreaScaler scaler;
        scaler.Scale(bitmap, w, h, {w - 25, 10, w + 15, 40}, part.data(), 40);  // hangs over the right edge
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 25; ++x)
                ASSERT_EQ(part[std::size_t(y * 40 + x)], whole[std::size_t((y + 10) * w + x + w - 25)])
                    << w << "x" << h << " at " << x << "," << y;
        EXPECT_EQ(part[std::size_t(39)], 0u) << "past the picture nothing is written";
    }
}

TEST(AreaScaler, UnscaledCopyShowsEachPaletteColour) {
    TBitmap bitmap;
    Paint(bitmap, 30, 3, clNavy);
    SetPixel(bitmap, 29, 2, clYellow);
    std::vector<uint32_t> out(4, 0);
    CopyPixels(bitmap, {28, 1, 30, 3}, out.data(), 2);
    EXPECT_EQ(out[0], Navy);
    EXPECT_EQ(out[3], 0xffffff00u);
    // Scaling to the same size is the same picture.
    const std::vector<uint32_t> same = Scaled(bitmap, 30, 3);
    EXPECT_EQ(same[2 * 30 + 29], 0xffffff00u);
    EXPECT_EQ(same[0], Navy);
}

}  // namespace
}  // namespace gridloom
