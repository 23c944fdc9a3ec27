#include "app/WindowFont.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

namespace gridloom {

namespace {

int Advance(const QWidget& w, const QString& text) { return w.fontMetrics().horizontalAdvance(text); }

bool LabelFits(const QLabel& label) {
    if (!label.wordWrap()) return Advance(label, label.text()) <= label.width();
    for (const QString& word : label.text().split(' ', Qt::SkipEmptyParts))
        if (Advance(label, word) > label.width()) return false;
    return label.heightForWidth(label.width()) <= label.height();
}

}  // namespace

bool CaptionFits(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) return LabelFits(*label);
    if (qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QRadioButton*>(&control))
        return control.sizeHint().width() <= control.width() && control.fontMetrics().height() <= control.height();
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        const int margin = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return Advance(*button, button->text()) + margin <= button->width();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return Advance(*group, group->title()) + 16 <= group->width();
    return true;
}

QFont WindowFont(QWidget& window) {
    QFont font(WindowFontName);
    for (int pixels = WindowFontPixels; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        window.setFont(font);
        bool fits = true;
        for (const QWidget* control : window.findChildren<QWidget*>())
            if (control->isVisibleTo(&window) && !CaptionFits(*control)) {
                fits = false;
                break;
            }
        if (fits) break;
    }
    return font;
}

}  // namespace gridloom
