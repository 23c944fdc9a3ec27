// An up-down (spin) control: two arrow buttons stepping a signed 16-bit position within a
// range, shown in a separate edit box, its buddy. Each step fires Click, also at a limit
// where the position cannot move, because the owner stores the position at every click.
//
// The buddy is where the keyboard meets the control: the arrow buttons take no focus, the
// buddy is the tab stop, and the up and down arrow keys in it step the control. A number
// typed into the buddy is taken as the position, firing Click as a step does, when the
// buddy loses the focus, on Enter, or when the owner asks (TakeTypedPosition) - so what
// the buddy shows is always what the owner stores. Only whole numbers within the range can
// be typed; a box left empty or half-typed shows the position again.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <cstdint>

class QToolButton;

namespace gridloom {

enum class TUDBtnType { btNext, btPrev };

class TUpDown : public QWidget {
    Q_OBJECT

public:
    explicit TUpDown(QWidget* parent = nullptr);

    int16_t Min() const { return FMin; }
    int16_t Max() const { return FMax; }
    void SetRange(int16_t min, int16_t max);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool wrap) { FWrap = wrap; }

    int16_t Position() const { return FPosition; }
    // Held within the range; the buddy shows the new position. Fires no Click.
    void SetPosition(int16_t position);

    QLineEdit* Associate() const { return FAssociate; }
    void SetAssociate(QLineEdit* edit);

    // One step as a click on an arrow does it.
    void Step(TUDBtnType button);

    // Takes a number typed into the buddy since the position was last shown, as a step
    // does (firing Click); anything else typed is replaced by the position.
    void TakeTypedPosition();

signals:
    void Click(gridloom::TUDBtnType button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool StepByKey(int key);
    void ShowPosition();
    void LimitTyping();

    QToolButton* FUp;
    QToolButton* FDown;
    QPointer<QLineEdit> FAssociate;
    int16_t FMin = 0;
    int16_t FMax = 100;
    int16_t FPosition = 0;
    bool FWrap = false;
};

}  // namespace gridloom
