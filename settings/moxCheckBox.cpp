#include "settings/moxCheckBox.h"

#include <QSignalBlocker>

namespace gridloom {

TmoxCheckBox::TmoxCheckBox(QWidget* parent) : QCheckBox(parent) {}

TmoxCheckBox::TmoxCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

TmoxCheckBox::~TmoxCheckBox() { FState.Destroying(isChecked()); }

void TmoxCheckBox::Loaded() {
    const bool shown = FState.Loaded(objectName().toStdString(), isChecked());
    // Taking the stored state is not a user's click: no handler of the window may see it.
    QSignalBlocker quiet(this);
    setChecked(shown);
}

}  // namespace gridloom
