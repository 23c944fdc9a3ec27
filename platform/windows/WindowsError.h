// Windows error codes as the errno values the rest of the program reports reasons with.
#pragma once

#include <cstdint>

namespace gridloom {

// The errno value closest to a GetLastError code (EIO for one without a close match).
int ErrnoFromWindowsError(uint32_t error);

}  // namespace gridloom
