#include "app/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace gridloom {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), FUp(new QToolButton(this)), FDown(new QToolButton(this)) {
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* b : {FUp, FDown}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    FUp->setArrowType(Qt::UpArrow);
    FDown->setArrowType(Qt::DownArrow);
    connect(FUp, &QToolButton::clicked, this, [this] { Step(TUDBtnType::btNext); });
    connect(FDown, &QToolButton::clicked, this, [this] { Step(TUDBtnType::btPrev); });
}

void TUpDown::SetRange(int16_t min, int16_t max) {
    FMin = std::min(min, max);
    FMax = std::max(min, max);
    SetPosition(FPosition);
}

void TUpDown::SetPosition(int16_t position) {
    FPosition = std::clamp(position, FMin, FMax);
    ShowPosition();
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    if (FAssociate) FAssociate->removeEventFilter(this);
    FAssociate = edit;
    if (FAssociate) FAssociate->installEventFilter(this);
    ShowPosition();
}

void TUpDown::Step(TUDBtnType button) {
    int next = FPosition + (button == TUDBtnType::btNext ? 1 : -1);
    if (next > FMax) next = FWrap ? FMin : FMax;
    if (next < FMin) next = FWrap ? FMax : FMin;
    FPosition = int16_t(next);
    ShowPosition();
    emit Click(button);
}

void TUpDown::ShowPosition() {
    if (FAssociate) FAssociate->setText(QString::number(FPosition));
}

bool TUpDown::StepByKey(int key) {
    if (key == Qt::Key_Up) {
        Step(TUDBtnType::btNext);
        return true;
    }
    if (key == Qt::Key_Down) {
        Step(TUDBtnType::btPrev);
        return true;
    }
    return false;
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    // The type is tested first: the buddy also passes through here while it is being
    // destroyed, when it may no longer be looked at as an edit box.
    if (event->type() == QEvent::KeyPress && watched == FAssociate && isEnabled())
        return StepByKey(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void TUpDown::keyPressEvent(QKeyEvent* event) {
    if (!StepByKey(event->key())) QWidget::keyPressEvent(event);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    const int half = height() / 2;
    FUp->setGeometry(0, 0, width(), half);
    FDown->setGeometry(0, half, width(), height() - half);
    QWidget::resizeEvent(event);
}

}  // namespace gridloom
