// Small helpers for making and driving the window's common controls.
#pragma once

#include <string>

#include "app/windows/Layout.h"
#include "app/windows/WindowsApi.h"

namespace gridloom {

// A child control of `parent` with the given class, text, style (WS_CHILD | WS_VISIBLE
// added) and control id; placed later by the window's layout.
HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int id, DWORD exStyle = 0);

void Place(HWND control, const TRect& rect);

// A hint shown when the mouse rests on `control`.
void AddHint(HWND tooltip, HWND owner, HWND control, const char* text);

bool IsPushButton(HWND control);
// Marks a push button as the one Enter presses (the thick frame), or takes the mark away.
void SetDefaultLook(HWND button, bool isDefault);

// Text as a message box shows it: the run's carriage returns become line breaks.
std::string MessageBoxText(const std::string& text);

}  // namespace gridloom
