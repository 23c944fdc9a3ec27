// TRegistry over the Windows registry itself. Every operation opens the key it needs and
// closes it again, so that an instance holds nothing between operations, as the file-backed
// registry does; the letter case of names, the creation of missing parents and the
// replacement of a value whatever its type are the registry's own behaviour.
#include "platform/Registry.h"

#include <vector>

#include "platform/RegistryDocument.h"
#include "platform/RegistryStoreValue.h"
#include "platform/windows/WinApi.h"

namespace gridloom {

namespace {

::HKEY SystemRoot(HKEY root) { return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

std::string SubKey(const std::vector<std::string>& path) {
    std::string joined;
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (i > 1) joined += '\\';
        joined += path[i];
    }
    return joined;
}

// An open key, closed when it goes out of scope.
class TOpenKey {
public:
    TOpenKey(HKEY root, const std::string& subKey, REGSAM access, bool create) {
        const LONG status = create ? ::RegCreateKeyExA(SystemRoot(root), subKey.c_str(), 0, nullptr,
                                                       REG_OPTION_NON_VOLATILE, access, nullptr, &FKey, nullptr)
                                   : ::RegOpenKeyExA(SystemRoot(root), subKey.c_str(), 0, access, &FKey);
        if (status != ERROR_SUCCESS) FKey = nullptr;
    }
    ~TOpenKey() {
        if (FKey != nullptr) ::RegCloseKey(FKey);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    explicit operator bool() const { return FKey != nullptr; }
    ::HKEY Get() const { return FKey; }

private:
    ::HKEY FKey = nullptr;
};

}  // namespace

// The registry is the system's; there is no file.
std::filesystem::path RegistryFilePath(HKEY) { return {}; }

bool TRegistry::KeyExists(const std::string& path) const {
    std::vector<std::string> resolved;
    if (!Resolve(path, resolved)) return false;
    return resolved.size() == 1 || bool(TOpenKey(FRootKey, SubKey(resolved), KEY_READ, false));
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    std::vector<std::string> resolved;
    if (!Resolve(path, resolved)) return false;
    if (resolved.size() > 1 && !TOpenKey(FRootKey, SubKey(resolved), canCreate ? KEY_WRITE : KEY_READ, canCreate))
        return false;
    FKeyOpen = true;
    FCurrentPath.assign(resolved.begin() + 1, resolved.end());
    return true;
}

bool TRegistry::ValueExists(const std::string& name) const {
    if (!FKeyOpen) return false;
    TOpenKey key(FRootKey, SubKey(CurrentDocumentPath()), KEY_QUERY_VALUE, false);
    return key && ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TRegValue ReadStoredValue(HKEY root, bool keyOpen, const std::vector<std::string>& keyPath, const std::string& name) {
    if (!keyOpen) throw ERegistryException("No registry key is open");
    TOpenKey key(root, SubKey(keyPath), KEY_QUERY_VALUE, false);
    TRegValue value{name, REG_NONE, {}};
    DWORD type = 0;
    DWORD size = 0;
    LONG status =
        key ? ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) : ERROR_FILE_NOT_FOUND;
    // The value may grow between the two calls; then the size is asked for again.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        value.Data.resize(size);
        status = ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.Data.data()),
                                    &size);
        if (status == ERROR_SUCCESS) {
            value.Data.resize(size);
            value.Type = type;
            return value;
        }
    }
    throw ERegistryException("Invalid registry value \"" + name + "\"");
}

void TRegistry::WriteValue(const std::string& name, uint32_t type, std::string data, TWriteMode mode) {
    if (!FKeyOpen) throw ERegistryException("No registry key is open");
    if (!IsValidValueName(name)) throw ERegistryException("Invalid registry value name");
    // A key that another program removed meanwhile is made again, so the value is not lost.
    TOpenKey key(FRootKey, SubKey(CurrentDocumentPath()), KEY_SET_VALUE | KEY_QUERY_VALUE, true);
    if (key && mode == TWriteMode::IfMissing) {
        // A value that reads back as this type is left as it is.
        DWORD stored = 0, size = 0;
        if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &stored, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_DWORD ? stored == REG_DWORD && size == 4
                               : stored == type || (type == REG_SZ && stored == REG_EXPAND_SZ)))
            return;
    }
    if (!key || ::RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 DWORD(data.size())) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for \"" + name + "\"");
}

}  // namespace gridloom
