// Where a program file keeps its version-information block.
//
// Our own ELF programs carry it in a section of its own, VersionSectionName, found through
// the section headers; Windows programs (PE files) carry it as their RT_VERSION resource.
// Every offset and length read from the file is checked against the file's size before it
// is used, so a damaged or crafted file gives nothing rather than a read past its end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace gridloom {

inline constexpr const char* VersionSectionName = ".vs_version_info";

// The bytes of the version block inside the image of a whole file, or nothing when the
// file is neither an ELF nor a PE file, or carries no block. The bytes may run on past the
// block's own length (a section or resource is often padded).
std::optional<std::span<const uint8_t>> FindVersionResource(std::span<const uint8_t> file);

}  // namespace gridloom
