#include "app/windows/OwnVersionLine.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/CommandLine.h"
#include "platform/ModuleFile.h"
#include "platform/OwnVersion.h"
#include "platform/VersionInfo.h"

namespace gridloom {

namespace {

// A text of the first string table the block's translation list names (US English in
// Windows-1252 when it names none); empty when missing.
std::string OwnVersionText(const char* name) {
    const std::string file = ExecutableOpenName();
    uint32_t handle = 0;
    const uint32_t size = gridloom::GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return {};
    std::vector<uint8_t> block(size);
    if (!gridloom::GetFileVersionInfoA(file.c_str(), handle, size, block.data())) return {};
    char table[9] = "040904E4";
    void* value = nullptr;
    uint32_t length = 0;
    if (gridloom::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        uint16_t pair[2];
        std::memcpy(pair, value, sizeof pair);
        std::snprintf(table, sizeof table, "%04X%04X", unsigned(pair[0]), unsigned(pair[1]));
    }
    const std::string path = std::string("\\StringFileInfo\\") + table + "\\" + name;
    if (!gridloom::VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) return {};
    return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
}

}  // namespace

std::string OwnVersionLine() {
    return WindowVersionLine(OwnFileVersion(), OwnVersionText("ProductName"), OwnVersionText("Comments"));
}

}  // namespace gridloom
