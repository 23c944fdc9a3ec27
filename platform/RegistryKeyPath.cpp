// The part of TRegistry that is the same over every store: the names of the roots and the
// current key as a path of names. Which store holds the keys is the system's own file.
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryDocument.h"

namespace gridloom {

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

}  // namespace gridloom
