// The version API: reading a program file's version-information block and looking values
// up in it, with the three calls and results a Windows program expects.
//
// Works on any file: our own ELF programs (see ExecutableImage.h) and Windows PE files.
// The copy a caller receives is the block itself followed by an area holding the 8-bit
// text of each string value (UTF-8, the system's 8-bit encoding here); VerQueryValueA
// hands out pointers into that copy and nowhere else. Nothing is ever reported: a file
// that cannot be read, or that has no block, has size 0.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gridloom {

// The size of the copy GetFileVersionInfoA makes of file's block, 0 when the file cannot
// be read, is not a regular file, has no block, or its block is shorter than it claims.
// *handle (when given) is set to 0; it is accepted back and ignored, as on Windows.
uint32_t GetFileVersionInfoSizeA(const char* file, uint32_t* handle);

// Fills data (size bytes) with the copy of file's block. False, with data untouched, when
// the file has no block or size is smaller than GetFileVersionInfoSizeA reports (a half
// copy could not be queried safely).
bool GetFileVersionInfoA(const char* file, uint32_t handle, uint32_t size, void* data);

// Looks subBlock up in a copy made by GetFileVersionInfoA:
//   "\"                               the fixed record (VS_FIXEDFILEINFO, 52 bytes)
//   "\VarFileInfo\Translation"        the array of (language, code page) 16-bit pairs
//   "\StringFileInfo\<table>\<name>"  a zero-terminated 8-bit text
// Keys are compared ignoring the case of ASCII letters. *buffer points into block;
// *length is the value's size in bytes (for a text, its characters and the terminator).
// False when the path is not in the block, or the fixed record is short or unsigned.
bool VerQueryValueA(const void* block, const char* subBlock, void** buffer, uint32_t* length);

// The copy GetFileVersionInfoA would make of a block found in a file's bytes; empty when
// the bytes do not hold a whole block. What the file calls and the fuzz target share.
std::vector<uint8_t> MakeVersionInfoCopy(std::span<const uint8_t> bytes);

}  // namespace gridloom
