// The program's message loop and the pump ShowStatus runs between a run's stages. Both give
// keyboard messages to the main window's dialog navigation first (IsDialogMessage): Tab
// and the arrows move between controls, Enter presses the default button, Esc the cancel
// button.
#pragma once

#include "app/windows/WindowsApi.h"

namespace gridloom {

// Posted to the main window after the dialog navigation has handled a key, which may have
// moved the keyboard to another control: the window then marks the button Enter presses.
inline constexpr UINT FocusMayHaveMoved = WM_APP + 1;

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(HWND mainWindow);

// Lets every waiting message run, painting and user input included; returns when none is
// left. A WM_QUIT met on the way is posted again for the loop above.
void ProcessWaitingMessages(HWND mainWindow);

}  // namespace gridloom
