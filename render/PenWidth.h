// The line widths the drawing can mean on this map. A width is taken as it is stored or given
// from 1 to 100 pixels; a wider pen would paint whole regions in its colour and take minutes,
// and a width below 1 draws nothing sensible. So a width beyond these bounds is drawn at the
// bound: the window, whose stored width is otherwise drawn unchecked, and gridloom-make, whose
// command line accepts exactly this range, draw alike.
#pragma once

#include <algorithm>
#include <cstdint>

namespace gridloom {

constexpr int32_t MinPenWidth = 1;
constexpr int32_t MaxPenWidth = 100;

constexpr int32_t DrawnPenWidth(int32_t width) { return std::clamp(width, MinPenWidth, MaxPenWidth); }

}  // namespace gridloom
