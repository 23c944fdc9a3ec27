// Whether the window toolkit will find a desktop to open windows on. Asked before the
// toolkit starts, because without one it aborts the program.
#pragma once

namespace gridloom {

bool DesktopAvailable();

}  // namespace gridloom
