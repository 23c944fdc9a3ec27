// The line gridloom.exe answers --version with, from the program's own version resource.
#pragma once

#include <string>

namespace gridloom {

// "gridloom <file version> (<product name>, <release date>)", as the Linux program says it.
std::string OwnVersionLine();

}  // namespace gridloom
