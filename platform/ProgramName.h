// The file name of the running program, which names the key its settings live under.
#pragma once

#include <string>

namespace gridloom {

// The executable's file name without its folder ("Gridloom"), read from /proc/self/exe;
// empty when it cannot be read.
std::string ProgramFileName();

// Makes ProgramFileName return `fileName` from now on, as if the program file had that
// name; an empty name goes back to the real one. For tests, and for nothing else.
void SetProgramFileName(const std::string& fileName);

}  // namespace gridloom
