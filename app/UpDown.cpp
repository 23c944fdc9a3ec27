#include "app/UpDown.h"

#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace gridloom {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), FUp(new QToolButton(this)), FDown(new QToolButton(this)) {
    // The buddy is the keyboard's way in; a focused arrow pair would show no focus at all.
    setFocusPolicy(Qt::NoFocus);
    for (QToolButton* b : {FUp, FDown}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    FUp->setArrowType(Qt::UpArrow);
    FDown->setArrowType(Qt::DownArrow);
    // The arrows keep the focus where it is, so a number still being typed is taken first.
    connect(FUp, &QToolButton::clicked, this, [this] {
        TakeTypedPosition();
        Step(TUDBtnType::btNext);
    });
    connect(FDown, &QToolButton::clicked, this, [this] {
        TakeTypedPosition();
        Step(TUDBtnType::btPrev);
    });
}

void TUpDown::SetRange(int16_t min, int16_t max) {
    FMin = std::min(min, max);
    FMax = std::max(min, max);
    LimitTyping();
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
    LimitTyping();
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
    // Setting the text also clears the buddy's "typed into" mark.
    if (FAssociate) FAssociate->setText(QString::number(FPosition));
}

void TUpDown::LimitTyping() {
    if (FAssociate) FAssociate->setValidator(new QIntValidator(FMin, FMax, FAssociate));
}

void TUpDown::TakeTypedPosition() {
    if (!FAssociate || !FAssociate->isModified()) return;
    bool number = false;
    const int typed = FAssociate->text().trimmed().toInt(&number);
    if (!number || typed < FMin || typed > FMax) {
        ShowPosition();
        return;
    }
    const TUDBtnType direction = typed < FPosition ? TUDBtnType::btPrev : TUDBtnType::btNext;
    FPosition = int16_t(typed);
    ShowPosition();
    emit Click(direction);
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
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::FocusOut) && watched == FAssociate && isEnabled()) {
        if (type == QEvent::FocusOut) {
            TakeTypedPosition();
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter takes the typed number and then goes on to the window (to "Make image").
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TakeTypedPosition();
            return false;
        }
        // A step starts from the number typed, as the arrows of a spin box do.
        if (key == Qt::Key_Up || key == Qt::Key_Down) TakeTypedPosition();
        return StepByKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    const int half = height() / 2;
    FUp->setGeometry(0, 0, width(), half);
    FDown->setGeometry(0, half, width(), height() - half);
    QWidget::resizeEvent(event);
}

}  // namespace gridloom
