// Cutting rings and lines at the 180-degree meridian so that every piece lies within
// longitudes -180..180, which is all the overlay's plate carree can show.
//
// GeoJSON joins consecutive positions by the shorter way round: a step of more than 180
// degrees of longitude crosses the antimeridian. The functions here follow that rule, so
// a ring drawn across the Bering Strait comes out as one piece on each side of the map,
// each closed along the map's edge, instead of a streak across the whole map.
#pragma once

#include <vector>

namespace gridloom::import {

struct GeoPoint {
    double Longitude;  // degrees, east positive
    double Latitude;   // degrees, north positive
};

using GeoPath = std::vector<GeoPoint>;

// What SplitRing found out about a ring's way round the globe.
enum class RingWrap {
    None,       // an ordinary ring: it encloses an area without circling a pole
    FarSouth,   // circles the globe wholly south of WrapFarSouthLatitude (Antarctica)
    Elsewhere,  // circles the globe but not wholly in the far south: worth a warning
    Tangled,    // winds round the globe more than once: no flat picture of it makes sense,
                // and no pieces are made
};

// A ring that circles the globe is taken as Antarctica-like only when no point of it lies
// north of this latitude.
constexpr double WrapFarSouthLatitude = -45.0;

// Splits a closed ring (its closing point not repeated) into pieces, each a closed ring
// within -180..180, appended to pieces. A ring that circles the globe is walked eastward
// and closed through explicit points on the pole it encircles, (180, -90) then (-180, -90)
// for the south pole, so that it fills down to the map's edge whatever the renderer does
// with jumps across the map; one whose mean latitude is north of the equator is closed
// through the north pole instead. Returns how the ring goes round the globe.
RingWrap SplitRing(const GeoPath& ring, std::vector<GeoPath>& pieces);

// Splits an open line into pieces within -180..180, appended to pieces; a piece ends and
// the next begins at the point where the line meets the antimeridian.
void SplitLine(const GeoPath& line, std::vector<GeoPath>& pieces);

// The area of a ring in square degrees of the flat map, for ordering polygons; a ring that
// circles the globe is measured as closed through its pole.
double RingArea(const GeoPath& ring);

}  // namespace gridloom::import
