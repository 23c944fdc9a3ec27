// Where other programs of the company are installed: the "App Paths" key beside the settings
// keys ("\Software\" + RegistryCompanyName + "\App Paths", under RegistryRootKey) holds, for
// each program, a string value named after it with the full path of its program file.
#pragma once

#include <string>

namespace gridloom {

// The stored full path of the named program's file ("Skylune"), or "" when the key or value
// is missing or is not a string. Only reads: the key is never created.
std::string ReadAppPath(const std::string& programName);

}  // namespace gridloom
