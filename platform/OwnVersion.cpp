#include "platform/OwnVersion.h"

#include <cstring>
#include <vector>

#include "platform/ModuleFile.h"
#include "platform/VersionInfo.h"

namespace gridloom {

namespace {

// The part of VS_FIXEDFILEINFO that holds the file version: two 32-bit words after the
// signature and the structure version, most significant half first.
constexpr std::size_t FileVersionOffset = 8;

}  // namespace

std::string FileVersionOf(const std::string& file) {
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return {};
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoA(file.c_str(), handle, size, block.data())) return {};
    void* fixed = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueA(block.data(), "\\", &fixed, &length) || length < FileVersionOffset + 8) return {};
    uint32_t ms = 0;
    uint32_t ls = 0;
    std::memcpy(&ms, static_cast<const uint8_t*>(fixed) + FileVersionOffset, 4);
    std::memcpy(&ls, static_cast<const uint8_t*>(fixed) + FileVersionOffset + 4, 4);
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

std::string OwnFileVersion() { return FileVersionOf(ExecutableOpenName()); }

}  // namespace gridloom
