// On X11 and Wayland desktops the toolkit finds its display through the environment. A
// platform chosen by name (QT_QPA_PLATFORM, such as "offscreen" for tests) is taken on trust.
#include <cstdlib>

#include "app/Desktop.h"

namespace gridloom {

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

bool DesktopAvailable() { return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY"); }

}  // namespace gridloom
