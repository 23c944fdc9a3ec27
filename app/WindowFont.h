// The window's font: "MS Sans Serif" at 14 pixels, as designed. Where that face is absent,
// fontconfig substitutes another whose letters may be wider; then the size comes down a
// pixel at a time until every caption fits its control again, since the layout is fixed
// in pixels and must not change.
#pragma once

#include <QFont>

class QWidget;

namespace gridloom {

inline constexpr const char* WindowFontName = "MS Sans Serif";
inline constexpr int WindowFontPixels = 14;

// Whether the control's caption shows whole in its current font and size: on one line,
// or for a word-wrapping label in the lines its height has room for. Controls without a
// caption always fit.
bool CaptionFits(const QWidget& control);

// Picks the font as above for the window and every control shown in it (which must
// already have their design sizes), sets it on the window and returns it.
QFont WindowFont(QWidget& window);

}  // namespace gridloom
