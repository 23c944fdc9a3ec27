// The font dialog of the window: the system's own (ChooseFontA), with the effects
// (underline, strike-out, colour), accepting only fonts that exist, with no size limits.
// It opens on the canvas font and gives the user's choice back as a canvas font.
#pragma once

#include "app/windows/WindowsApi.h"
#include "render/Font.h"

namespace gridloom {

// The LOGFONT that draws a canvas font on a screen of `pixelsPerInch`: a size in points
// is a character height (a negative lfHeight); a negative size is a cell height in points
// instead, and 0 the system's default. The face name is cut to what LOGFONT can hold.
LOGFONTA ToLogFont(const TFont& font, int pixelsPerInch);
// The canvas font a LOGFONT stands for, in `colour`. `pointTenths`, when above 0, is the
// size the font dialog reports (tenths of a point); otherwise the size comes from lfHeight.
TFont FromLogFont(const LOGFONTA& logFont, TColor colour, int pixelsPerInch, int pointTenths = 0);

// Shows the dialog modally over owner, starting from font (all its attributes). On OK the
// font takes the choice and the result is true; on Cancel the font is left alone.
bool ExecuteFontDialog(HWND owner, TFont& font);

}  // namespace gridloom
