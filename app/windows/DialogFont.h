// The font every control of the window is drawn in: the system's dialog (message) font,
// at the size it has on the monitor the window is on.
#pragma once

#include "app/windows/WindowsApi.h"

namespace gridloom {

// A new font (the caller deletes it with DeleteObject) for a window on a monitor of
// `monitorDpi` pixels per inch: the message font of the system's non-client metrics, which
// the system gives for its own DPI, scaled to the monitor's.
HFONT CreateDialogFont(int monitorDpi);

// The monitor's DPI of a window (the system's where it cannot be asked per monitor).
int WindowDpi(HWND window);

// The height of the font's characters in pixels (tmHeight), which the radio group's rows
// are laid out by.
int FontTextHeight(HWND window, HFONT font);

}  // namespace gridloom
