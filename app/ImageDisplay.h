// The image control of the main window: a live view of the master image.
//
// The control holds the master bitmap itself (its picture) and paints straight from the
// bitmap's 8-bit pixels and palette, so whatever a run draws shows at the next repaint;
// there is no second copy of the picture. Only the area being repainted is converted to
// screen pixels: scrolling the full-size view converts just the newly exposed strip.
//
// Stretch on: the whole picture scaled to the control, aspect ratio not kept (see
// AreaScaler.h for how). On a high-density screen the scaling is done for the screen's
// device pixels, so the fitted map is as sharp as the text around it rather than enlarged
// from a coarser one. Stretch off: one image pixel per (logical) screen pixel from the
// top-left corner. The control never sizes itself to its picture; its owner sets its size.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "render/AreaScaler.h"
#include "render/Bitmap.h"

namespace gridloom {

class TImageDisplay : public QWidget {
    Q_OBJECT

public:
    explicit TImageDisplay(QWidget* parent = nullptr);
    ~TImageDisplay() override;

    // Puts a new, empty bitmap into the picture (dropping any earlier one) and returns it.
    // The control owns it; it lives as long as the control.
    TBitmap& NewPicture();
    TBitmap* Picture() const { return FPicture.get(); }

    bool Stretch() const { return FStretch; }
    void SetStretch(bool stretch);
    // Kept for the window's sake: the control never sizes itself, whatever this says.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize) { FAutoSize = autoSize; }

    // Paints the rectangle of the control into image (sized to the rectangle), as a repaint
    // would. For benchmarks and tests.
    void Render(const QRect& area, QImage& image) { Render(area, 1.0, image); }
    // The same for a screen of `ratio` device pixels per logical pixel: image gets the
    // device pixels covering area (its device pixel ratio set to ratio). A stretched picture
    // is scaled at device pixels; at full size each image pixel covers ratio x ratio.
    void Render(const QRect& area, qreal ratio, QImage& image);

    // How many screen (device) pixels repaints have converted from the picture so far.
    uint64_t ConvertedPixels() const { return FConverted; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TBitmap> FPicture;
    bool FStretch = true;
    bool FAutoSize = false;
    TAreaScaler FScaler;
    QImage FBuffer;  // screen pixels of the area being repainted, reused between repaints
    uint64_t FConverted = 0;
};

}  // namespace gridloom
