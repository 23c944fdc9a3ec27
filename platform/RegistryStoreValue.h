// What each registry store (the REGEDIT4 files here, the system's registry on Windows) gives
// the parts of TRegistry that are the same over both.
#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryDocument.h"

namespace gridloom {

// The value `name` of the key at keyPath (the root's name first) under root, as stored.
// Throws ERegistryException when no key is open or there is no such value.
TRegValue ReadStoredValue(HKEY root, bool keyOpen, const std::vector<std::string>& keyPath, const std::string& name);

}  // namespace gridloom
