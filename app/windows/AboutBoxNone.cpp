// Built when the About box's library is not part of the build: "About" shows nothing.
#include "app/windows/AboutBoxLink.h"

namespace gridloom {

std::function<void(HWND)> MakeAboutBox(HINSTANCE) { return {}; }

}  // namespace gridloom
