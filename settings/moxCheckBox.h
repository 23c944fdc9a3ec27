// A check box that keeps its own checked state between runs, with no code in its window.
//
// Once the window has built its controls it calls Loaded(): the check box then takes its
// stored state, without running any of the window's handlers for it. When it is destroyed it
// stores its current state. The registry value is named NamedAs, or the check box's object
// name when NamedAs is empty. A check box being designed neither reads nor stores anything.
// What is decided is TmoxCheckState's; this is its Qt face.
#pragma once

#include <QCheckBox>
#include <QString>

#include "settings/moxCheckState.h"

namespace gridloom {

class TmoxCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE SetNamedAs)

public:
    explicit TmoxCheckBox(QWidget* parent = nullptr);
    explicit TmoxCheckBox(const QString& text, QWidget* parent = nullptr);
    ~TmoxCheckBox() override;

    QString NamedAs() const { return QString::fromStdString(FState.NamedAs()); }
    // Changing the name after Loaded does not move the stored state: the variable keeps the
    // name it was made with.
    void SetNamedAs(const QString& name) { FState.SetNamedAs(name.toStdString()); }

    // Called once the window's controls are built and set from its design. Makes the stored
    // state variable (once) and applies the stored state, or keeps the design state.
    virtual void Loaded();

    bool Designing() const { return FState.Designing(); }
    void SetDesigning(bool designing) { FState.SetDesigning(designing); }

    // The variable holding the stored state; null until Loaded has made it.
    const TRegistryBoolean* StoredState() const { return FState.StoredState(); }

private:
    TmoxCheckState FState;
};

}  // namespace gridloom
