// Settings as objects: a registry variable loads its value when it is constructed (or keeps
// the caller's default) and stores it when it is destroyed, and at no other time.
//
// A variable whose value is still the one it loaded (stored or default) leaves the stored value
// as it is by then: another copy of the program may have changed it meanwhile, and two copies
// running at once must not lose each other's settings. It only fills in a value that is missing
// (or of another type), so the first close still writes every setting. A changed value is
// always written, so for a value both copies changed, the copy that closes last wins. A variable
// made from its name alone loaded nothing and always writes.
//
// Every variable of the program lives in one key, "\Software\" + RegistryCompanyName + "\" +
// the program's file name without its extension, under RegistryRootKey. No failure of the
// registry ever leaves a variable: a failed read keeps the default, a failed store is skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace gridloom {

// Where every key of the program lives; chosen once at start by ChooseRegistryLocation and
// only read afterwards.
extern std::string RegistryCompanyName;  // "Tarnwick"
extern HKEY RegistryRootKey;             // HKEY_CURRENT_USER

// Run once at start, before any variable exists: a program file named HOLMVIEW.EXE (in any
// letter case) keeps its settings for the whole machine under another company's name.
void ChooseRegistryLocation(const std::string& executableFileName);

// The file name without folder and without its extension (from the last dot on).
std::string ProgramBaseName(const std::string& fileName);

// Whose settings a program keeps when its file's name cannot be read, or is all extension
// (".x"): Gridloom's own.
inline const std::string FallbackProgramName = "Gridloom";

// "\Software\<company>\<program base name>", from the globals and the running program's name.
std::string SettingsKeyPath();

class TRegistryVariable {
public:
    // Binds the variable to its value name and key; reads nothing.
    explicit TRegistryVariable(std::string valueName);
    virtual ~TRegistryVariable() = default;
    TRegistryVariable(const TRegistryVariable&) = delete;
    TRegistryVariable& operator=(const TRegistryVariable&) = delete;

    const std::string& ValueName() const { return FValueName; }
    const std::string& KeyPath() const { return FKeyPath; }
    HKEY RootKey() const { return FRootKey; }

protected:
    // For holders that reach the registry only through variables of their own.
    TRegistryVariable() = default;

    // Opens the key (never creating it) for a load; false when it does not exist.
    bool OpenForLoad(TRegistry& registry) const;
    // Opens or creates the key for a store; false when that is refused.
    bool OpenForStore(TRegistry& registry) const;

private:
    // Fixed at construction, so a variable stores its value exactly where it looked for it.
    std::string FValueName;
    std::string FKeyPath;
    HKEY FRootKey = HKEY_CURRENT_USER;
};

// Stored as a 32-bit integer, 1 or 0; any stored non-zero integer loads as true.
class TRegistryBoolean : public TRegistryVariable {
public:
    using TRegistryVariable::TRegistryVariable;  // name alone: Value false, nothing read
    TRegistryBoolean(std::string valueName, bool defaultValue);
    ~TRegistryBoolean() override;

    bool Value = false;

    // From now on the current Value counts as the loaded one (for holders whose variables take
    // their first value from elsewhere).
    void MarkUnchanged() { FLoaded = Value; }

private:
    std::optional<bool> FLoaded;  // what loading left in Value; none after a name alone
};

class TRegistryInteger : public TRegistryVariable {
public:
    using TRegistryVariable::TRegistryVariable;  // name alone: Value 0, nothing read
    TRegistryInteger(std::string valueName, int32_t defaultValue);
    ~TRegistryInteger() override;

    int32_t Value = 0;

    // From now on the current Value counts as the loaded one (for holders whose variables take
    // their first value from elsewhere).
    void MarkUnchanged() { FLoaded = Value; }

private:
    std::optional<int32_t> FLoaded;  // what loading left in Value; none after a name alone
};

class TRegistryString : public TRegistryVariable {
public:
    using TRegistryVariable::TRegistryVariable;  // name alone: Value empty, nothing read
    TRegistryString(std::string valueName, std::string defaultValue);
    ~TRegistryString() override;

    std::string Value;

    // From now on the current Value counts as the loaded one (for holders whose variables take
    // their first value from elsewhere).
    void MarkUnchanged() { FLoaded = Value; }

private:
    std::optional<std::string> FLoaded;  // what loading left in Value; none after a name alone
};

}  // namespace gridloom
