#include "platform/Memory.h"

#include "platform/windows/WinApi.h"

namespace gridloom {

uint32_t AvailablePhysicalMB() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0xFFFFFFFF;
    const DWORDLONG mb = status.ullAvailPhys >> 20;
    return mb >= 0xFFFFFFFF ? 0xFFFFFFFE : uint32_t(mb);
}

}  // namespace gridloom
