// The font of a canvas: what labels are written in. The font is described by the platform,
// so that the settings can record it without the drawing; see platform/Graphics.h.
#pragma once

#include "platform/Graphics.h"
#include "render/Color.h"
