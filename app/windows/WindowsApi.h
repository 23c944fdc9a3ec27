// The Windows API for the native window: windows.h through the platform's header, which
// removes the macros that clash with the names of our portable headers (RGB, GetRValue,
// HKEY_CURRENT_USER, ...), then the common controls and the common dialogs.
#pragma once

#include "platform/windows/WinApi.h"

#include <commctrl.h>
#include <commdlg.h>
