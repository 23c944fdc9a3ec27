#include "platform/Registry.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "platform/RegistryDocument.h"
#include "platform/RegistryStoreValue.h"
#include "platform/RegistryStore.h"

namespace gridloom {

namespace {

// Relative names in the variables are ignored, as the XDG rules say of their folders.
std::filesystem::path AbsolutePath(const char* text) {
    if (text == nullptr || text[0] != '/') return {};
    return text;
}

std::filesystem::path HomeFolder() {
    if (auto home = AbsolutePath(std::getenv("HOME")); !home.empty()) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return AbsolutePath(found->pw_dir);
    return {};
}

std::filesystem::path UserConfigFolder() {
    if (auto folder = AbsolutePath(std::getenv("XDG_CONFIG_HOME")); !folder.empty()) return folder;
    auto home = HomeFolder();
    return home.empty() ? home : home / ".config";
}

std::filesystem::path MachineFile() {
    if (auto file = AbsolutePath(std::getenv("GRIDLOOM_MACHINE_REGISTRY")); !file.empty()) return file;
    return "/etc/xdg/registry/HKEY_LOCAL_MACHINE.reg";
}

// The user's settings are private; the machine's are for everyone to read.
mode_t NewFileMode(HKEY root) { return root == HKEY_LOCAL_MACHINE ? 0644 : 0600; }

}  // namespace

std::filesystem::path RegistryFilePath(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return MachineFile();
    if (root != HKEY_CURRENT_USER) return {};
    std::filesystem::path folder = UserConfigFolder();
    if (folder.empty()) return {};
    return folder / "registry" / (RootKeyName(root) + ".reg");
}

bool TRegistry::KeyExists(const std::string& path) const {
    std::vector<std::string> resolved;
    if (!Resolve(path, resolved)) return false;
    auto file = RegistryFilePath(FRootKey);
    if (file.empty()) return false;
    if (resolved.size() == 1) return true;  // the root always exists
    return LoadRegistryFile(file)->Find(resolved) != nullptr;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    std::vector<std::string> resolved;
    if (!Resolve(path, resolved)) return false;
    auto file = RegistryFilePath(FRootKey);
    if (file.empty()) return false;
    bool exists = resolved.size() == 1 || LoadRegistryFile(file)->Find(resolved) != nullptr;
    if (!exists) {
        if (!canCreate) return false;
        // Copies, not references: within a session the change is applied again when it ends.
        bool created = UpdateRegistryFile(file, NewFileMode(FRootKey), [resolved](TRegDocument& document) {
            if (document.Find(resolved) != nullptr) return TRegChange::Unchanged;
            document.Create(resolved);
            return TRegChange::Changed;
        });
        if (!created) return false;
    }
    FKeyOpen = true;
    FCurrentPath.assign(resolved.begin() + 1, resolved.end());
    return true;
}

bool TRegistry::ValueExists(const std::string& name) const {
    if (!FKeyOpen) return false;
    auto file = RegistryFilePath(FRootKey);
    if (file.empty()) return false;
    auto document = LoadRegistryFile(file);
    const TRegKey* key = document->Find(CurrentDocumentPath());
    return key != nullptr && key->Find(name) != nullptr;
}

TRegValue ReadStoredValue(HKEY root, bool keyOpen, const std::vector<std::string>& keyPath, const std::string& name) {
    if (!keyOpen) throw ERegistryException("No registry key is open");
    auto file = RegistryFilePath(root);
    if (file.empty()) throw ERegistryException("The registry has no place to be kept");
    auto document = LoadRegistryFile(file);
    const TRegKey* key = document->Find(keyPath);
    const TRegValue* value = key == nullptr ? nullptr : key->Find(name);
    if (value == nullptr) throw ERegistryException("Invalid registry value \"" + name + "\"");
    return *value;
}

namespace {

// Whether a stored value reads back as a value of `type` (a string from either string type).
bool ReadsAs(const TRegValue& value, uint32_t type) {
    uint32_t dword = 0;
    if (type == REG_DWORD) return value.Type == REG_DWORD && DataToDword(value.Data, dword);
    if (type == REG_SZ) return value.Type == REG_SZ || value.Type == REG_EXPAND_SZ;
    return value.Type == type;
}

}  // namespace

void TRegistry::WriteValue(const std::string& name, uint32_t type, std::string data, TWriteMode mode) {
    if (!FKeyOpen) throw ERegistryException("No registry key is open");
    if (!IsValidValueName(name)) throw ERegistryException("Invalid registry value name");
    auto file = RegistryFilePath(FRootKey);
    auto change = [name, type, data = std::move(data), keyPath = CurrentDocumentPath(), mode](TRegDocument& document) {
        // A key that another copy of the program removed meanwhile is made again, so the
        // value is not lost.
        TRegKey& key = document.Create(keyPath);
        const TRegValue* existing = key.Find(name);
        if (existing != nullptr && mode == TWriteMode::IfMissing && ReadsAs(*existing, type))
            return TRegChange::Unchanged;
        if (existing != nullptr && existing->Type == type && existing->Data == data) return TRegChange::Unchanged;
        key.Set(TRegValue{name, type, data});
        return TRegChange::Changed;
    };
    // Copies, not references: within a session the change is applied again when it ends.
    bool stored = !file.empty() && UpdateRegistryFile(file, NewFileMode(FRootKey), change);
    if (!stored) throw ERegistryException("Failed to set data for \"" + name + "\"");
}

}  // namespace gridloom
