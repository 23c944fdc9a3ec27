// The About box as the main window shows it: made once, hidden, when the program starts,
// and shown modally over the window at every "About".
#pragma once

#include <functional>

#include "app/windows/WindowsApi.h"

namespace gridloom {

// Makes the About box now and returns what shows it over an owner.
std::function<void(HWND)> MakeAboutBox(HINSTANCE instance);

}  // namespace gridloom
