// The version API is the system's own, in version.dll.
#include "platform/VersionInfo.h"

#include "platform/VersionBlock.h"
#include "platform/windows/WinApi.h"

namespace gridloom {

uint32_t GetFileVersionInfoSizeA(const char* file, uint32_t* handle) {
    DWORD ignored = 0;
    if (handle) *handle = 0;
    return file == nullptr ? 0 : ::GetFileVersionInfoSizeA(file, &ignored);
}

bool GetFileVersionInfoA(const char* file, uint32_t handle, uint32_t size, void* data) {
    return file != nullptr && data != nullptr && ::GetFileVersionInfoA(file, handle, size, data);
}

bool VerQueryValueA(const void* block, const char* subBlock, void** buffer, uint32_t* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr) return false;
    UINT size = 0;
    if (!::VerQueryValueA(block, subBlock, buffer, &size) || *buffer == nullptr) return false;
    // The fixed record is trusted only when whole and signed, as the file-backed API does.
    const bool root = subBlock[0] == '\\' && subBlock[1] == '\0';
    if (root && (size < sizeof(VS_FIXEDFILEINFO) ||
                 static_cast<const VS_FIXEDFILEINFO*>(*buffer)->dwSignature != VS_FFI_SIGNATURE))
        return false;
    if (length) *length = size;
    return true;
}

}  // namespace gridloom
