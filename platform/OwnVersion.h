// The running program's own version, read from its version block through the version API,
// so that "--version" says what the file's properties say (the resource on Windows, the
// block in the ELF section here).
#pragma once

#include <string>

namespace gridloom {

// The file version of the fixed record of the program's own version block, as
// "major.minor.release.build"; empty when the program's file has no readable block.
std::string OwnFileVersion();

// The file version of the fixed record of file's version block, as above; empty when the
// file cannot be read or has no block.
std::string FileVersionOf(const std::string& file);

}  // namespace gridloom
