#include "app/CommandLine.h"

namespace gridloom {

std::string SettingsPlaceText() {
    return "Settings are kept in $XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER.reg\n"
           "(~/.config/registry/HKEY_CURRENT_USER.reg when XDG_CONFIG_HOME is unset).\n";
}

}  // namespace gridloom
