// A framed group of radio buttons in one column, read and set as one selected index.
//
// The index may be one that has no button (a stored value from elsewhere): then no button
// is checked and the index is kept as it is until the user picks a button, so it reaches
// its reader, and is stored back, unchanged.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace gridloom {

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);

    int Count() const { return int(FButtons.size()); }
    QRadioButton* Button(int index) const { return FButtons.at(std::size_t(index)); }

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QButtonGroup* FGroup;
    std::vector<QRadioButton*> FButtons;
    int FItemIndex = -1;
};

}  // namespace gridloom
