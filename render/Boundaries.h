// Drawing the boundary segments: land and lakes filled, borders as lines.
#pragma once

#include "data/Cartography.h"
#include "platform/Ticks.h"
#include "render/Canvas.h"
#include "render/RenderSettings.h"

namespace gridloom {

// Draws every segment of the list in order onto the canvas, moving the progress position
// before each segment and refreshing the display at most every 350 ms. Throws
// std::bad_alloc when the working pixel array cannot be had.
void DrawBoundaries(TCanvas& canvas, const TCartogList& list, const IRenderSettings& settings, IDrawProgress& progress,
                    ITickSource& ticks = SystemTicks());

}  // namespace gridloom
