#include "app/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace gridloom {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), FGroup(new QButtonGroup(this)) {
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        FGroup->addButton(button, i);
        FButtons.push_back(button);
    }
    // Arrow keys move the check as well as clicks do; both pick the index.
    connect(FGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked || id == FItemIndex) return;
        FItemIndex = id;
        emit Click();
    });
}

void TRadioGroup::SetItemIndex(int index) {
    FItemIndex = index;
    const QSignalBlocker quiet(FGroup);
    if (index >= 0 && index < Count()) {
        FButtons[std::size_t(index)]->setChecked(true);
        return;
    }
    // An exclusive group always keeps one button checked; let go of that rule to clear it.
    FGroup->setExclusive(false);
    for (QRadioButton* b : FButtons) b->setChecked(false);
    FGroup->setExclusive(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    // The buttons share the inside of the frame equally, one above the other.
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect inside =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this).adjusted(6, 1, -2, -1);
    const int count = std::max(Count(), 1);
    for (int i = 0; i < Count(); ++i) {
        const int y0 = inside.top() + inside.height() * i / count;
        const int y1 = inside.top() + inside.height() * (i + 1) / count;
        FButtons[std::size_t(i)]->setGeometry(inside.left(), y0, inside.width(), y1 - y0);
    }
    QGroupBox::resizeEvent(event);
}

}  // namespace gridloom
