// An up-down (spin) control: two arrow buttons stepping a signed 16-bit position within a
// range, shown in a separate edit box, its buddy. Each step fires Click, also at a limit
// where the position cannot move, because the owner stores the position at every click.
// The buddy only shows the position: what is typed into it is never read, and the next
// step overwrites it. Up and down arrow keys in the control or its buddy step it too.
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

signals:
    void Click(gridloom::TUDBtnType button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool StepByKey(int key);
    void ShowPosition();

    QToolButton* FUp;
    QToolButton* FDown;
    QPointer<QLineEdit> FAssociate;
    int16_t FMin = 0;
    int16_t FMax = 100;
    int16_t FPosition = 0;
    bool FWrap = false;
};

}  // namespace gridloom
