// A Windows program always runs on a desktop.
#include "app/Desktop.h"

namespace gridloom {

bool DesktopAvailable() { return true; }

}  // namespace gridloom
