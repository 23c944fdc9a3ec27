// The drawing choices of a first start: what the window shows when no settings are stored
// (and the values its settings start from), and what gridloom-make draws when given no
// options.
#pragma once

#include <cstdint>

#include "render/Font.h"

namespace gridloom::FirstStart {

inline constexpr int GridIndex = 3;  // 10 degrees, see render/GridIntervals.h
inline constexpr bool Labels = false;
inline constexpr bool GridOnTop = false;
inline constexpr bool ShowBoundaries = true;
inline constexpr int32_t GridlineWidth = 1;
inline constexpr int32_t BoundaryWidth = 1;
// The label font; its colour is left as a new canvas has it (the grid colours it red).
inline constexpr const char* FontName = "Arial";
inline constexpr int32_t FontSize = 11;
inline constexpr TFontStyles FontStyle = fsBold;

}  // namespace gridloom::FirstStart
