// Which file a piece of running code came from: the program's executable, or a shared
// library loaded into it.
#pragma once

#include <cstdint>
#include <string>

namespace gridloom {

// The full path of the module (executable or shared library) that contains address,
// copied into buffer with at most size - 1 characters and a terminator; returns the number
// of characters copied, 0 when the module is unknown. A longer path is cut short, as the
// system's own call does.
uint32_t GetModuleFileNameA(const void* address, char* buffer, uint32_t size);

// The full path of the running program's executable; empty when it cannot be read.
std::string ExecutableFileName();

// A name under which the running program's executable can be opened whatever the length of
// its path, for reading the program's own file.
std::string ExecutableOpenName();

// True when address lies in a shared library rather than in the program's executable.
bool IsInsideLibrary(const void* address);

}  // namespace gridloom
