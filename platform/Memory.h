// How much physical memory the machine can still hand out.
#pragma once

#include <cstdint>
#include <string_view>

namespace gridloom {

// The physical memory available now, in whole MiB (rounded down). On Linux this is the
// kernel's MemAvailable estimate: free memory plus what the page cache can give back
// without swapping. When the figure cannot be read the answer is 0xFFFFFFFF ("plenty"),
// so an unusual system never blocks a run with a false low-memory warning.
uint32_t AvailablePhysicalMB();

// The MemAvailable figure of a /proc/meminfo text, in whole MiB; 0xFFFFFFFF when the text
// has no usable MemAvailable line. Separate so that odd files can be tested.
uint32_t ParseMemAvailableMB(std::string_view meminfo);

}  // namespace gridloom
