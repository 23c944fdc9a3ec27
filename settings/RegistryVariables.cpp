#include "settings/RegistryVariables.h"

#include <utility>

#include "platform/ProgramName.h"

namespace gridloom {

std::string RegistryCompanyName = "Tarnwick";
HKEY RegistryRootKey = HKEY_CURRENT_USER;

namespace {

std::string WithoutFolder(const std::string& fileName) { return fileName.substr(fileName.rfind('/') + 1); }

}  // namespace

void ChooseRegistryLocation(const std::string& executableFileName) {
    std::string name = WithoutFolder(executableFileName);
    // Only a to z: the comparison must not depend on the user's locale.
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (name == "HOLMVIEW.EXE") {
        RegistryCompanyName = "Quorvane";
        RegistryRootKey = HKEY_LOCAL_MACHINE;
    }
}

std::string ProgramBaseName(const std::string& fileName) {
    std::string name = WithoutFolder(fileName);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string SettingsKeyPath() {
    std::string program = ProgramBaseName(ProgramFileName());
    // Without a name the settings would lie right in the company key, beside "App Paths"
    // and the keys of the company's other programs.
    if (program.empty()) program = FallbackProgramName;
    return "\\Software\\" + RegistryCompanyName + "\\" + program;
}

TRegistryVariable::TRegistryVariable(std::string valueName)
    : FValueName(std::move(valueName)), FKeyPath(SettingsKeyPath()), FRootKey(RegistryRootKey) {}

bool TRegistryVariable::OpenForLoad(TRegistry& registry) const {
    registry.SetRootKey(FRootKey);
    if (!registry.KeyExists(FKeyPath)) return false;
    // Not tested: if the key cannot be opened, the read that follows fails and the default stands.
    registry.OpenKey(FKeyPath, false);
    return true;
}

bool TRegistryVariable::OpenForStore(TRegistry& registry) const {
    registry.SetRootKey(FRootKey);
    return registry.OpenKey(FKeyPath, true);
}

namespace {

// A value still as loaded only fills in a stored value that is missing or of another type.
TRegistry::TWriteMode WriteModeFor(bool unchanged) {
    return unchanged ? TRegistry::TWriteMode::IfMissing : TRegistry::TWriteMode::Always;
}

}  // namespace

// Loads and stores catch everything: a setting that cannot be read or written must never
// stop the program, and nothing may leave a destructor.

TRegistryBoolean::TRegistryBoolean(std::string valueName, bool defaultValue)
    : TRegistryVariable(std::move(valueName)), Value(defaultValue) {
    try {
        TRegistry registry;
        if (OpenForLoad(registry)) Value = registry.ReadBool(ValueName());
    } catch (...) {
    }
    FLoaded = Value;
}

TRegistryBoolean::~TRegistryBoolean() {
    try {
        TRegistry registry;
        if (OpenForStore(registry)) registry.WriteBool(ValueName(), Value, WriteModeFor(FLoaded == Value));
    } catch (...) {
    }
}

TRegistryInteger::TRegistryInteger(std::string valueName, int32_t defaultValue)
    : TRegistryVariable(std::move(valueName)), Value(defaultValue) {
    try {
        TRegistry registry;
        if (OpenForLoad(registry)) Value = registry.ReadInteger(ValueName());
    } catch (...) {
    }
    FLoaded = Value;
}

TRegistryInteger::~TRegistryInteger() {
    try {
        TRegistry registry;
        if (OpenForStore(registry)) registry.WriteInteger(ValueName(), Value, WriteModeFor(FLoaded == Value));
    } catch (...) {
    }
}

TRegistryString::TRegistryString(std::string valueName, std::string defaultValue)
    : TRegistryVariable(std::move(valueName)), Value(std::move(defaultValue)) {
    try {
        TRegistry registry;
        if (OpenForLoad(registry) && registry.ValueExists(ValueName())) {
            std::string stored = registry.ReadString(ValueName());
            Value = std::move(stored);
        }
    } catch (...) {
    }
    FLoaded = Value;
}

TRegistryString::~TRegistryString() {
    try {
        TRegistry registry;
        if (OpenForStore(registry)) registry.WriteString(ValueName(), Value, WriteModeFor(FLoaded == Value));
    } catch (...) {
    }
}

}  // namespace gridloom
