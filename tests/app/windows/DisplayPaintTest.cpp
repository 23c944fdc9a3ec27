// What the image display puts on the screen: the fitted map keeps one-pixel lines visible
// as a tint, and the full-size view shows the image's own colours pixel for pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/windows/ImageDisplayWindow.h"
#include "render/Color.h"

namespace gridloom {
namespace {

// A 32-bit screen-pixel surface to paint into, read back as colours.
class TSurface {
public:
    TSurface(int width, int height) : FWidth(width) {
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = -height;
        h.biPlanes = 1;
        h.biBitCount = 32;
        FDC = CreateCompatibleDC(nullptr);
        FBitmap = CreateDIBSection(FDC, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &FBits, nullptr, 0);
        FOld = SelectObject(FDC, FBitmap);
    }
    ~TSurface() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    HDC DC() const { return FDC; }
    // As a TColor: red in the low byte.
    TColor At(int x, int y) const {
        GdiFlush();
        const uint32_t p = static_cast<const uint32_t*>(FBits)[y * FWidth + x];
        return RGB(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
    }

private:
    int FWidth;
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
    void* FBits = nullptr;
};

class DisplayPaint : public ::testing::Test {
protected:
    void SetUp() override {
        // Painting needs no window: without a parent (or without a desktop, as under plain
        // Wine) the display has none and paints into whatever device it is given.
        FDisplay = std::make_unique<TImageDisplayWindow>(nullptr, 1, GetModuleHandleA(nullptr));
        // An 800 x 400 sea with one yellow column at x = 405 and a red pixel at (3, 2).
        TBitmap& picture = FDisplay->NewPicture();
        picture.SetWidth(800);
        picture.SetHeight(400);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 800; ++x) picture.ScanLine(y)[x] = PaletteIndexOf(x == 405 ? clYellow : clNavy);
        picture.ScanLine(2)[3] = PaletteIndexOf(clRed);
    }
    std::unique_ptr<TImageDisplayWindow> FDisplay;
};

TEST_F(DisplayPaint, FittedAOnePixelLineTintsItsScreenColumnInsteadOfVanishing) {
    FDisplay->SetStretch(true);
    FDisplay->SetScrollBarsInUse(false);
    FDisplay->SetDisplaySize(80, 40);  // a tenth each way
    TSurface surface(100, 50);
    FDisplay->Paint(surface.DC(), RECT{0, 0, 100, 50});
    EXPECT_EQ(surface.At(10, 20), clNavy);
    const TColor tinted = surface.At(40, 20);  // covers image columns 400-409
    EXPECT_NE(tinted, clNavy);
    EXPECT_GT(GetRValue(tinted), 0);
    EXPECT_LT(GetRValue(tinted), 255);
    // Beyond the display control the panel shows its own background.
    EXPECT_EQ(surface.At(90, 45), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(DisplayPaint, AtFullSizeEachImagePixelIsOneScreenPixelInItsOwnColour) {
    FDisplay->SetStretch(false);
    FDisplay->SetDisplaySize(800, 400);
    TSurface surface(20, 10);
    FDisplay->Paint(surface.DC(), RECT{0, 0, 20, 10});
    EXPECT_EQ(surface.At(3, 2), clRed);
    EXPECT_EQ(surface.At(4, 2), clNavy);
    EXPECT_EQ(surface.At(3, 3), clNavy);
    EXPECT_EQ(FDisplay->ConvertedPixels(), 200u);
}

TEST_F(DisplayPaint, OnlyTheAreaAskedForIsConverted) {
    FDisplay->SetStretch(true);
    FDisplay->SetDisplaySize(80, 40);
    TSurface surface(80, 40);
    FDisplay->Paint(surface.DC(), RECT{0, 0, 80, 40});
    const uint64_t whole = FDisplay->ConvertedPixels();
    EXPECT_EQ(whole, 80u * 40u);
    FDisplay->Paint(surface.DC(), RECT{70, 0, 80, 40});
    EXPECT_EQ(FDisplay->ConvertedPixels() - whole, 10u * 40u);
    // The strip painted alone matches the same strip painted as part of the whole.
    EXPECT_EQ(surface.At(75, 20), clNavy);
}

}  // namespace
}  // namespace gridloom
