// The red latitude/longitude grid and its degree labels.
#pragma once

#include "render/Canvas.h"
#include "render/RenderSettings.h"

namespace gridloom {

// True when both integer degrees are multiples of 10.
bool IsLabelledCrossing(int longitude, int latitude);

// Draws meridians (with their labels), then parallels (with theirs), in red, with the
// settings' interval, annotation and gridline width. Labels are written in the canvas font
// on the current brush colour; the brush is never changed.
void DrawGrid(TCanvas& canvas, const IRenderSettings& settings);

}  // namespace gridloom
