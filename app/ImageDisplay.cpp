#include "app/ImageDisplay.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace gridloom {

TImageDisplay::TImageDisplay(QWidget* parent) : QWidget(parent) {
    // Every pixel of a repainted area is painted, from the picture or in the background
    // colour; saying so lets a scroll move what is on screen and repaint only the strip
    // it exposes.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TImageDisplay::~TImageDisplay() = default;

TBitmap& TImageDisplay::NewPicture() {
    FPicture = std::make_unique<TBitmap>();
    update();
    return *FPicture;
}

void TImageDisplay::SetStretch(bool stretch) {
    if (FStretch == stretch) return;
    FStretch = stretch;
    update();
}

namespace {

// The device pixels that cover a logical rectangle at ratio, as a pixel rectangle.
TPixelRect DevicePixels(const QRect& area, qreal ratio) {
    return {int(std::floor(area.left() * ratio)), int(std::floor(area.top() * ratio)),
            int(std::ceil((area.right() + 1) * ratio)), int(std::ceil((area.bottom() + 1) * ratio))};
}

}  // namespace

void TImageDisplay::Render(const QRect& area, qreal ratio, QImage& image) {
    // At full size the picture is copied at logical pixels and enlarged by the painter:
    // one image pixel then covers ratio x ratio device pixels, as it should.
    if (!FStretch) ratio = 1.0;
    const TPixelRect part = ratio == 1.0 ? TPixelRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1}
                                         : DevicePixels(area, ratio);
    const QSize size(part.Width(), part.Height());
    if (image.size() != size || image.format() != QImage::Format_RGB32) image = QImage(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(backgroundRole()));
    if (!FPicture || FPicture->Width() <= 0 || FPicture->Height() <= 0 || size.isEmpty()) return;
    auto* out = reinterpret_cast<uint32_t*>(image.bits());
    const std::ptrdiff_t stride = image.bytesPerLine() / 4;
    FConverted += uint64_t(size.width()) * uint64_t(size.height());
    if (FStretch)
        FScaler.Scale(*FPicture, int(std::lround(width() * ratio)), int(std::lround(height() * ratio)), part, out,
                      stride);
    else
        CopyPixels(*FPicture, part, out, stride);
}

void TImageDisplay::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect() & rect();
    if (area.isEmpty()) return;
    const qreal ratio = devicePixelRatioF();
    Render(area, ratio, FBuffer);
    QPainter painter(this);
    // The buffer's device pixel ratio makes it cover exactly its logical rectangle.
    const qreal bufferRatio = FBuffer.devicePixelRatio();
    if (bufferRatio == 1.0)
        painter.drawImage(area.topLeft(), FBuffer);
    else
        painter.drawImage(QPointF(std::floor(area.left() * bufferRatio) / bufferRatio,
                                  std::floor(area.top() * bufferRatio) / bufferRatio),
                          FBuffer);
}

}  // namespace gridloom
