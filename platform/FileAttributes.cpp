#include "platform/FileAttributes.h"

#include <sys/stat.h>

namespace gridloom {

namespace {
constexpr mode_t AllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t PermissionBits = 07777;
}  // namespace

uint32_t GetFileAttributes(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return INVALID_FILE_ATTRIBUTES;

    const mode_t mode = info.st_mode & PermissionBits;
    uint32_t attributes = 0;
    if ((mode & AllWriteBits) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (!S_ISREG(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DEVICE;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return attributes | AttributeHasMode | (uint32_t(mode) << 16);
}

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || path.empty()) return false;

    mode_t mode;
    if (attributes & AttributeHasMode) {
        mode = mode_t((attributes >> 16) & PermissionBits);
    } else {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return false;
        mode = info.st_mode & PermissionBits;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~AllWriteBits;
    else if ((mode & AllWriteBits) == 0)
        mode |= S_IWUSR;
    return ::chmod(path.c_str(), mode) == 0;
}

}  // namespace gridloom
