#include "app/ImageDisplay.h"

#include <QPaintEvent>
#include <QPainter>

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

void TImageDisplay::Render(const QRect& area, QImage& image) {
    if (image.size() != area.size() || image.format() != QImage::Format_RGB32)
        image = QImage(area.size(), QImage::Format_RGB32);
    image.fill(palette().color(backgroundRole()));
    if (!FPicture || FPicture->Width() <= 0 || FPicture->Height() <= 0) return;
    auto* out = reinterpret_cast<uint32_t*>(image.bits());
    const std::ptrdiff_t stride = image.bytesPerLine() / 4;
    const TPixelRect part{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    FConverted += uint64_t(area.width()) * uint64_t(area.height());
    if (FStretch)
        FScaler.Scale(*FPicture, width(), height(), part, out, stride);
    else
        CopyPixels(*FPicture, part, out, stride);
}

void TImageDisplay::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect() & rect();
    if (area.isEmpty()) return;
    Render(area, FBuffer);
    QPainter painter(this);
    painter.drawImage(area.topLeft(), FBuffer);
}

}  // namespace gridloom
