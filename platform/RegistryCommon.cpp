// The part of TRegistry that is the same over every store: the names of the roots, the
// current key as a path of names, and the typed values over the store's raw ones. Which
// store holds the keys is the system's own file (ReadStoredValue, WriteValue).
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryDocument.h"
#include "platform/RegistryStoreValue.h"

namespace gridloom {

namespace {

ERegistryException TypeMismatch(const std::string& name) {
    return ERegistryException("Invalid data type for \"" + name + "\"");
}

}  // namespace

std::string RootKeyName(HKEY root) {
    switch (root) {
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return {};
    }
}

void TRegistry::SetRootKey(HKEY root) {
    FRootKey = root;
    CloseKey();
}

void TRegistry::CloseKey() {
    FKeyOpen = false;
    FCurrentPath.clear();
}

std::string TRegistry::CurrentPath() const {
    if (!FKeyOpen) return {};
    std::string path;
    for (const auto& name : FCurrentPath) path += "\\" + name;
    return path.empty() ? "\\" : path;
}

bool TRegistry::Resolve(const std::string& path, std::vector<std::string>& resolved) const {
    std::string rootName = RootKeyName(FRootKey);
    if (rootName.empty()) return false;
    resolved.assign(1, rootName);
    bool absolute = !path.empty() && path.front() == '\\';
    if (!absolute && FKeyOpen) resolved.insert(resolved.end(), FCurrentPath.begin(), FCurrentPath.end());
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('\\', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) {
            std::string name = path.substr(start, slash - start);
            if (!IsValidKeyName(name) || resolved.size() > MaxKeyDepth) return false;
            resolved.push_back(std::move(name));
        }
        start = slash + 1;
    }
    return true;
}

std::vector<std::string> TRegistry::CurrentDocumentPath() const {
    std::vector<std::string> path{RootKeyName(FRootKey)};
    path.insert(path.end(), FCurrentPath.begin(), FCurrentPath.end());
    return path;
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
    TRegValue value = ReadStoredValue(FRootKey, FKeyOpen, CurrentDocumentPath(), name);
    uint32_t dword = 0;
    if (value.Type != REG_DWORD || !DataToDword(value.Data, dword)) throw TypeMismatch(name);
    return static_cast<int32_t>(dword);
}

bool TRegistry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

std::string TRegistry::ReadString(const std::string& name) const {
    TRegValue value = ReadStoredValue(FRootKey, FKeyOpen, CurrentDocumentPath(), name);
    if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ) throw TypeMismatch(name);
    return value.Data.substr(0, value.Data.find('\0'));
}

void TRegistry::WriteInteger(const std::string& name, int32_t value, TWriteMode mode) {
    WriteValue(name, REG_DWORD, DwordData(static_cast<uint32_t>(value)), mode);
}

void TRegistry::WriteBool(const std::string& name, bool value, TWriteMode mode) {
    WriteInteger(name, value ? 1 : 0, mode);
}

void TRegistry::WriteString(const std::string& name, const std::string& value, TWriteMode mode) {
    std::string data = value.substr(0, value.find('\0'));
    data += '\0';
    WriteValue(name, REG_SZ, std::move(data), mode);
}

}  // namespace gridloom
