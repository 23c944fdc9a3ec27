// Names that Windows takes for devices rather than files.
#pragma once

#include <string>

namespace gridloom {

// True for a path in the device namespace ("\\.\PhysicalDrive0") and for one whose last
// part is a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), in any letter
// case and with or without an extension, as Windows opens the device for every one of them.
bool IsDeviceName(const std::string& path);

}  // namespace gridloom
