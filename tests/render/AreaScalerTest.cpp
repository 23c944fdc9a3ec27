// The screen pixels of the display: the fitted view averages the image area under each
// screen pixel, so thin lines tint their pixel instead of vanishing, and any part of the
// view comes out exactly as it does within the whole.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
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

// The screen pixels of row 20 that are not navy, by column, when one yellow column at x of
// a 792 x 396 navy image is shrunk to 73 x 37 (10.85 image columns a screen column).
std::vector<std::pair<int, uint32_t>> TintedWithColumnAt(TBitmap& bitmap, int x) {
    Paint(bitmap, 792, 396, clNavy);
    for (int y = 0; y < 396; ++y) SetPixel(bitmap, x, y, clYellow);
    const std::vector<uint32_t> out = Scaled(bitmap, 73, 37);
    std::vector<std::pair<int, uint32_t>> tinted;
    for (int c = 0; c < 73; ++c)
        if (out[std::size_t(20 * 73 + c)] != Navy) tinted.emplace_back(c, out[std::size_t(20 * 73 + c)]);
    for (int y = 0; y < 396; ++y) SetPixel(bitmap, x, y, clNavy);
    return tinted;
}

TEST(AreaScaler, EveryOneXOnePixelLineStillShowsAfterShrinking) {
    using TTinted = std::vector<std::pair<int, uint32_t>>;
    TBitmap bitmap;
    // A column inside one screen column tints it alone, with 1/10.85 of yellow's light (red
    // and green 86, blue 122 of navy's 128); one across the boundary of two (at 10.85 image
    // columns) tints both, each by the share it covers (0.85 and 0.15 of a column).
    const uint32_t Inside = 0xff56567au, MostOfIt = 0xff4f4f7bu, LittleOfIt = 0xff20207fu;
    EXPECT_EQ(TintedWithColumnAt(bitmap, 0), (TTinted{{0, Inside}}));
    EXPECT_EQ(TintedWithColumnAt(bitmap, 5), (TTinted{{0, Inside}}));
    EXPECT_EQ(TintedWithColumnAt(bitmap, 10), (TTinted{{0, MostOfIt}, {1, LittleOfIt}}));
    EXPECT_EQ(TintedWithColumnAt(bitmap, 11), (TTinted{{1, Inside}}));
    EXPECT_EQ(TintedWithColumnAt(bitmap, 791), (TTinted{{72, Inside}}));
    // Wherever it lies, some screen pixel shows it.
    for (int x = 0; x < 40; ++x) EXPECT_FALSE(TintedWithColumnAt(bitmap, x).empty()) << "column " << x;
}

// Rows and columns are scaled by the same rule: a one-pixel row on a tall image comes out
// as the same column on a wide image, transposed, at every position.
TEST(AreaScaler, ARowScalesExactlyAsAColumn) {
    TBitmap wide, tall;
    for (int at = 0; at < 24; ++at) {
        Paint(wide, 792, 396, clNavy);
        Paint(tall, 396, 792, clNavy);
        for (int i = 0; i < 396; ++i) {
            SetPixel(wide, at, i, clYellow);
            SetPixel(tall, i, at, clYellow);
        }
        const std::vector<uint32_t> columns = Scaled(wide, 73, 37);
        const std::vector<uint32_t> rows = Scaled(tall, 37, 73);
        int differing = 0;
        for (int r = 0; r < 37; ++r)
            for (int c = 0; c < 73; ++c) differing += columns[std::size_t(r * 73 + c)] != rows[std::size_t(c * 37 + r)];
        EXPECT_EQ(differing, 0) << "line at " << at;
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
