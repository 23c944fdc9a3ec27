// What a check box that keeps its own checked state between runs decides, whatever toolkit
// draws the box: the toolkit's box holds one of these and tells it the two moments of its
// life.
//
// Once the window has built its controls the box calls Loaded(): the stored-state variable is
// made, named NamedAs or, when that is empty, the box's own name, and the state to show is
// returned (the stored one, or the box's design state when nothing is stored). The box shows
// it without running any of the window's handlers. When the box is destroyed it calls
// Destroying() with its current state, which is then stored. A box being designed neither
// reads nor stores anything.
#pragma once

#include <memory>
#include <string>

#include "settings/RegistryVariables.h"

namespace gridloom {

class TmoxCheckState {
public:
    TmoxCheckState() = default;
    ~TmoxCheckState() = default;
    TmoxCheckState(const TmoxCheckState&) = delete;
    TmoxCheckState& operator=(const TmoxCheckState&) = delete;

    const std::string& NamedAs() const { return FNamedAs; }
    // Changing the name after Loaded does not move the stored state: the variable keeps the
    // name it was made with.
    void SetNamedAs(const std::string& name) { FNamedAs = name; }

    bool Designing() const { return FDesigning; }
    void SetDesigning(bool designing) { FDesigning = designing; }

    // The box's controls are built and it shows its design state `checked`; `boxName` is its
    // object name. Makes the variable (once) and returns the state the box is to show. A
    // second call, or one while designing, makes nothing and returns `checked`.
    bool Loaded(const std::string& boxName, bool checked);

    // The box is going with the state `checked`: stores it and lets the variable go. Nothing
    // happens without a variable (before Loaded, while designing, or a second time).
    void Destroying(bool checked);

    // The variable holding the stored state; null until Loaded has made it.
    const TRegistryBoolean* StoredState() const { return FStoredState.get(); }

private:
    std::string FNamedAs;
    std::unique_ptr<TRegistryBoolean> FStoredState;
    bool FDesigning = false;
};

}  // namespace gridloom
