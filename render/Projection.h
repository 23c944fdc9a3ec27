// The master image's projection: plate carree, 22 pixels per degree, longitude -180 at
// the left edge and latitude +90 at the top.
#pragma once

#include "render/Canvas.h"

namespace gridloom {

constexpr int32_t MasterWidth = 7920;
constexpr int32_t MasterHeight = 3960;

// Longitude and latitude in degrees (east and north positive) to a map pixel. Longitudes
// above 180 are taken as 360 less; nothing is clamped. Rounds half to even.
TPoint LonLatToPixel(double longitude, double latitude);

}  // namespace gridloom
