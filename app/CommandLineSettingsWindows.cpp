#include "app/CommandLine.h"

namespace gridloom {

std::string SettingsPlaceText() {
    return "Settings are kept in the registry, under\n"
           "HKEY_CURRENT_USER\\Software\\Tarnwick\\<the program file's name without .exe>.\n";
}

}  // namespace gridloom
