#include "settings/AppPath.h"

#include "platform/Registry.h"
#include "settings/RegistryVariables.h"

namespace gridloom {

std::string ReadAppPath(const std::string& programName) {
    std::string result;
    try {
        TRegistry registry;
        registry.SetRootKey(RegistryRootKey);
        const std::string keyPath = "\\Software\\" + RegistryCompanyName + "\\App Paths";
        if (registry.KeyExists(keyPath)) {
            registry.OpenKey(keyPath, false);
            if (registry.ValueExists(programName)) result = registry.ReadString(programName);
        }
    } catch (...) {
        result.clear();  // what an empty path means is the caller's business
    }
    return result;
}

}  // namespace gridloom
