// Turning GeoJSON into boundary segments for Countries.dat.
//
// Each input is given one kind code by the caller. Polygons and
// multipolygons become closed segments, line strings and multi-line strings open ones.
// Accepted at the top: FeatureCollection, Feature, GeometryCollection or a bare geometry;
// features without a geometry are skipped.
//
// Coordinates are rounded to whole minutes of arc, half away from zero; a point that rounds
// onto its predecessor is dropped, and so is a piece left with too few points to be drawn
// (fewer than three for an area, two for a line). GeoJSON repeats a ring's first point at
// its end; that point is dropped too, because the renderer closes polygons itself.
// Rings and lines that cross the antimeridian are cut there (see Antimeridian.h).
//
// Areas given an area kind (bit 0 clear):
//  - within one input, polygons are written largest first, each followed by its holes, so
//    that a smaller polygon lying in a larger one's hole (an island in a lake) is painted
//    after that hole;
//  - a hole is written as water (8) in land (0, 4) and as land in a lake (4) in water (8);
//    in any other area kind it keeps the polygon's kind.
// Areas given a line kind (bit 0 set) become their outlines, closed by repeating the first
// point. Lines given an area kind are an error: a line cannot be filled.
#pragma once

#include "data/Cartography.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace gridloom::import {

// Text from an input as it may be shown on a terminal: valid UTF-8 is kept, any other byte
// is written as \xNN.
std::string Printable(std::string_view text);

// A failure that must stop the import: the message names the file and the feature. Its text
// is printable, whatever bytes the input held.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& what) : std::runtime_error(Printable(what)) {}
};

// One segment to be written: a kind code and its points in minutes of arc.
struct BoundarySegment {
    uint8_t Kind = 0;
    std::vector<BoundaryPoint> Points;
};

// Receives warnings, each a complete line without its line end.
using WarningSink = std::function<void(const std::string&)>;

// Converts one parsed GeoJSON document, appending its segments in order. source names the
// input in messages. Throws ImportError for anything that cannot be converted faithfully:
// an unknown or unsupported geometry type, malformed coordinates, coordinates outside what
// a signed 16-bit count of minutes holds, a line given an area kind.
void ConvertGeoJson(const nlohmann::json& document, uint8_t kind, const std::string& source,
                    std::vector<BoundarySegment>& segments, const WarningSink& warn);

// Reads the file, parses it and converts it as above; a FeatureCollection is converted one
// feature at a time as it is read, so that memory stays near the size of the segments made.
// Throws ImportError when the file cannot be read or is not valid JSON.
void ImportGeoJsonFile(const std::string& path, uint8_t kind, std::vector<BoundarySegment>& segments,
                       const WarningSink& warn);

}  // namespace gridloom::import
