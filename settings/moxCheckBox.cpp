#include "settings/moxCheckBox.h"

#include <QSignalBlocker>

namespace gridloom {

TmoxCheckBox::TmoxCheckBox(QWidget* parent) : QCheckBox(parent) {}

TmoxCheckBox::TmoxCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

TmoxCheckBox::~TmoxCheckBox() {
    if (FStoredState) {
        FStoredState->Value = isChecked();
        FStoredState.reset();  // stores the state
    }
}

void TmoxCheckBox::Loaded() {
    if (FDesigning || FStoredState) return;
    if (FNamedAs.isEmpty()) FNamedAs = objectName();
    FStoredState = std::make_unique<TRegistryBoolean>(FNamedAs.toStdString(), isChecked());
    // Taking the stored state is not a user's click: no handler of the window may see it.
    QSignalBlocker quiet(this);
    setChecked(FStoredState->Value);
}

}  // namespace gridloom
