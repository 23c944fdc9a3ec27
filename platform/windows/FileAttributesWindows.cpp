// File attributes on Windows: the system's own attribute word, with the device bit added for
// the reserved device names (a save must never try to replace "NUL" or "COM1").
#include "platform/FileAttributes.h"

#include "platform/windows/DeviceNames.h"
#include "platform/windows/WinApi.h"

namespace gridloom {

namespace {
// The bits SetFileAttributesA accepts; the others describe the file and are not ours to set.
constexpr uint32_t SettableBits = 0x0001 | 0x0002 | 0x0004 | 0x0020 | 0x0080 | 0x0100 | 0x1000 | 0x2000;
}  // namespace

uint32_t GetFileAttributes(const std::string& path) {
    if (path.empty()) return INVALID_FILE_ATTRIBUTES;
    if (IsDeviceName(path)) return FILE_ATTRIBUTE_DEVICE;
    return ::GetFileAttributesA(path.c_str());
}

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || path.empty() || IsDeviceName(path)) return false;
    attributes &= SettableBits;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

}  // namespace gridloom
