// The registry: a hierarchy of keys holding named, typed values, under two roots.
//
// Linux has no registry, so Gridloom keeps its own: one text file per root in the registry
// export format, which a person can read and edit and which Windows' regedit imports.
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER.reg  (~/.config when unset)
//   HKEY_LOCAL_MACHINE  /etc/xdg/registry/HKEY_LOCAL_MACHINE.reg, writable only by the
//                       administrator; $GRIDLOOM_MACHINE_REGISTRY, an absolute file name,
//                       puts it elsewhere (for tests)
// The machine's file is in one fixed place, not in the first of $XDG_CONFIG_DIRS: desktop
// sessions set that to folders of their own, where an installer running as root without a
// session would never look.
//
// As in the Windows registry, key paths and value names ignore the letter case of A-Z and
// keep the case they were created with; a path beginning with a backslash is taken from the
// root, any other from the open key. Every operation reads the file afresh and every store
// rewrites it whole under a lock, so two running copies of the program never lose each
// other's values; within a session (RegistryStore.h) the file is read once while unchanged
// and the stores are written together when the session ends.
//
// Reads of a missing value, or of a value of another type, raise ERegistryException; so do
// refused writes. Nothing is held open between operations: an instance only remembers its
// root and the path of its open key.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace gridloom {

using HKEY = uint32_t;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file that holds a root's keys, from the environment at the moment of the call (so a
// test points the whole store elsewhere by setting XDG_CONFIG_HOME and
// GRIDLOOM_MACHINE_REGISTRY).
// Empty for a root that has no file, or when no home folder can be found.
std::filesystem::path RegistryFilePath(HKEY root);

// The name a root has in the file's section headers: "HKEY_CURRENT_USER"; empty if unknown.
std::string RootKeyName(HKEY root);

class TRegistry {
public:
    TRegistry() = default;  // root HKEY_CURRENT_USER, no key open
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Selects the root and closes the open key.
    void SetRootKey(HKEY root);

    bool KeyExists(const std::string& path) const;
    // Makes the key the open key. With `canCreate` a missing key is created, with every
    // missing key above it; without, only an existing key is opened.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();
    // The open key's path from the root, with a leading backslash; empty when none is open.
    std::string CurrentPath() const;

    bool ValueExists(const std::string& name) const;
    // A 32-bit integer value: non-zero is true.
    bool ReadBool(const std::string& name) const;
    int32_t ReadInteger(const std::string& name) const;
    // A plain or expandable string value, up to its terminating NUL; variables not expanded.
    std::string ReadString(const std::string& name) const;

    enum class TWriteMode {
        Always,     // replaces a value of the same name whatever its type
        IfMissing,  // leaves a value of the same name that reads back as this type untouched
    };

    // Text is stored up to its first NUL, as the registry stores it. A write that leaves an
    // existing value as it is succeeds. The test and the write are one step under the
    // store's lock, so no other copy of the program can store in between.
    void WriteBool(const std::string& name, bool value, TWriteMode mode = TWriteMode::Always);
    void WriteInteger(const std::string& name, int32_t value, TWriteMode mode = TWriteMode::Always);
    void WriteString(const std::string& name, const std::string& value, TWriteMode mode = TWriteMode::Always);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FKeyOpen = false;
    std::vector<std::string> FCurrentPath;  // below the root, in the case it was opened with

    // The full path of the document (the root's name first); false when the path is invalid.
    bool Resolve(const std::string& path, std::vector<std::string>& resolved) const;
    std::vector<std::string> CurrentDocumentPath() const;
    void WriteValue(const std::string& name, uint32_t type, std::string data, TWriteMode mode);
};

}  // namespace gridloom
