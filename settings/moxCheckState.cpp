#include "settings/moxCheckState.h"

namespace gridloom {

bool TmoxCheckState::Loaded(const std::string& boxName, bool checked) {
    if (FDesigning || FStoredState) return checked;
    if (FNamedAs.empty()) FNamedAs = boxName;
    // The design state is the default: a first run shows the box as designed.
    FStoredState = std::make_unique<TRegistryBoolean>(FNamedAs, checked);
    return FStoredState->Value;
}

void TmoxCheckState::Destroying(bool checked) {
    if (!FStoredState) return;
    FStoredState->Value = checked;
    FStoredState.reset();  // stores the state
}

}  // namespace gridloom
