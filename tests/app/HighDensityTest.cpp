// The window on a screen whose pixels count double. CTest runs these tests a second time
// with QT_SCALE_FACTOR=2 (WindowHighDensity); at ratio 1 they check the same things on an
// ordinary screen.
#include <QScreen>
#include <QStatusBar>
#include <QPushButton>

#include "WindowFixture.h"
#include "app/ImageDisplay.h"

namespace gridloom::test {
namespace {

// The ratio the test run asked for, so that a run meant for a dense screen cannot quietly
// test an ordinary one.
void ExpectAskedRatio(const QWidget& widget) {
    const QByteArray asked = qgetenv("QT_SCALE_FACTOR");
    if (!asked.isEmpty()) ASSERT_DOUBLE_EQ(widget.devicePixelRatioF(), asked.toDouble());
}

// A map of fine vertical and horizontal lines, finer than the fitted view's pixels.
void DrawFineLines(TBitmap& picture) {
    picture.SetWidth(7920);
    picture.SetHeight(3960);
    const uint8_t line = PaletteIndexOf(clYellow), sea = PaletteIndexOf(clNavy), land = PaletteIndexOf(clGreen);
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x)
            row[x] = (x % 13 == 0 || y % 17 == 0) ? line : ((x / 40 + y / 40) % 2 ? sea : land);
    }
}

TEST(HighDensity, TheFittedViewIsScaledForTheDevicePixels) {
    TImageDisplay display;
    DrawFineLines(display.NewPicture());
    display.resize(728, 371);
    display.show();
    QApplication::processEvents();
    ExpectAskedRatio(display);

    const qreal ratio = display.devicePixelRatioF();
    const int width = int(std::lround(728 * ratio));
    const int height = int(std::lround(371 * ratio));
    const QImage shot = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(width, height));

    // Every device pixel is the average of the map area it covers, not a copy of a coarser
    // pixel: the screen shows what the area filter makes at the device's own size.
    std::vector<uint32_t> expected(std::size_t(width) * height);
    TAreaScaler().Scale(*display.Picture(), width, height, {0, 0, width, height}, expected.data(), width);
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(shot.constScanLine(y));
        for (int x = 0; x < width; ++x) differing += (row[x] | 0xff000000u) != expected[std::size_t(y) * width + x];
    }
    EXPECT_EQ(differing, 0) << "of " << width * height << " device pixels";
}

TEST(HighDensity, AFullSizeImagePixelCoversRatioByRatioDevicePixels) {
    TImageDisplay display;
    DrawFineLines(display.NewPicture());
    display.SetStretch(false);
    display.resize(100, 60);
    display.show();
    QApplication::processEvents();
    ExpectAskedRatio(display);

    const int ratio = int(display.devicePixelRatioF());
    const QImage shot = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(100 * ratio, 60 * ratio));
    for (int y : {0, 17, 34, 59})
        for (int x : {0, 13, 14, 40, 99}) {
            const QRgb pixel = shot.pixel(x * ratio + ratio - 1, y * ratio + ratio - 1);
            const TColor colour = display.Picture()->Pixel(x, y);
            EXPECT_EQ(QColor(pixel), QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour))) << x << ", " << y;
        }
}

using HighDensityWindow = WindowFixture;

TEST_F(HighDensityWindow, OpensWithinTheScreensAvailableArea) {
    TFormMain& form = Open();
    ExpectAskedRatio(form);
    const QRect available = form.screen()->availableGeometry();
    EXPECT_LE(form.width() + DesignFrameWidth, std::max(available.width(), MinimumClientWidth + DesignFrameWidth));
    EXPECT_LE(form.height() + DesignFrameHeight, std::max(available.height(), MinimumClientHeight + DesignFrameHeight));
    EXPECT_EQ(form.size(), OpeningClientSize(available));
    // "Make image" and "Close" are inside the window, above the status bar.
    for (QWidget* button : {static_cast<QWidget*>(form.ButtonMake), static_cast<QWidget*>(form.ButtonClose)})
        EXPECT_LE(button->geometry().bottom(), form.StatusBar->geometry().top()) << button->objectName().toStdString();
}

}  // namespace
}  // namespace gridloom::test
