#include "tools/import/BoundaryImport.h"

#include "tools/import/Antimeridian.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace gridloom::import {
namespace {

using nlohmann::json;

constexpr int MaxCollectionDepth = 32;

// A hole in land is water, and a hole in water is land again.
uint8_t HoleKind(uint8_t kind) {
    switch (static_cast<TBoundaryKind>(kind)) {
    case TBoundaryKind::Land:
    case TBoundaryKind::LandInLake: return KindCode(TBoundaryKind::Water);
    case TBoundaryKind::Water: return KindCode(TBoundaryKind::LandInLake);
    default: return kind;
    }
}

// The widest value, in degrees, whose minutes still fit a signed 16-bit number.
constexpr double MaxDegrees = 32767.0 / 60.0;

// True when a ring's points all lie on one line, so that filling it would only draw its
// outline. Exact, in whole minutes.
bool EnclosesNothing(const std::vector<BoundaryPoint>& ring) {
    int64_t twiceArea = 0;
    for (std::size_t i = 0, n = ring.size(); i < n; ++i) {
        const BoundaryPoint& a = ring[i];
        const BoundaryPoint& b = ring[(i + 1) % n];
        twiceArea += int64_t(a.Longitude) * b.Latitude - int64_t(b.Longitude) * a.Latitude;
    }
    return twiceArea == 0;
}

int16_t ToMinutes(double degrees) { return static_cast<int16_t>(std::lround(degrees * 60.0)); }

// A polygon as read from the input: outer ring first, then holes, closing points dropped.
struct Polygon {
    std::string Feature;
    std::vector<GeoPath> Rings;
    double Area = 0.0;
};

class Converter {
public:
    Converter(uint8_t kind, const std::string& source, std::vector<BoundarySegment>& segments, const WarningSink& warn)
        : FKind(kind), FSource(source), FSegments(segments), FWarn(warn) {}

    void Document(const json& document) {
        const std::string type = TypeOf(document, "the document");
        if (type == "FeatureCollection") {
            const json* features = Member(document, "features");
            if (!features || !features->is_array())
                Fail("the document", "a FeatureCollection needs a \"features\" array");
            for (std::size_t i = 0; i < features->size(); ++i) Feature((*features)[i], FeatureLabel((*features)[i], i));
        } else if (type == "Feature") {
            Feature(document, FeatureLabel(document, std::nullopt));
        } else {
            Geometry(document, "the geometry");
        }
        Finish();
    }

private:
    [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
        throw ImportError(FSource + ": " + where + ": " + what);
    }

    static const json* Member(const json& object, const char* name) {
        if (!object.is_object()) return nullptr;
        const auto it = object.find(name);
        return it == object.end() ? nullptr : &*it;
    }

    std::string TypeOf(const json& value, const std::string& where) const {
        if (!value.is_object()) Fail(where, "expected a GeoJSON object");
        const json* type = Member(value, "type");
        if (!type || !type->is_string()) Fail(where, "has no \"type\"");
        return type->get<std::string>();
    }

    static std::string FeatureLabel(const json& feature, std::optional<std::size_t> index) {
        std::string label = index ? "feature " + std::to_string(*index) : std::string("the feature");
        std::string name;
        if (const json* properties = Member(feature, "properties"); properties && properties->is_object()) {
            for (const char* key : {"name", "NAME", "name_en", "ADMIN"}) {
                const json* value = Member(*properties, key);
                if (value && value->is_string()) {
                    name = value->get<std::string>();
                    break;
                }
            }
        }
        if (name.empty()) {
            if (const json* id = Member(feature, "id"); id && (id->is_string() || id->is_number()))
                name = id->is_string() ? id->get<std::string>() : id->dump();
        }
        if (!name.empty()) label += " (\"" + name + "\")";
        return label;
    }

    void Feature(const json& feature, const std::string& label) {
        if (TypeOf(feature, label) != "Feature")
            Fail(label, "expected a Feature, found \"" + TypeOf(feature, label) + "\"");
        const json* geometry = Member(feature, "geometry");
        if (!geometry || geometry->is_null()) return;  // a feature may have no place
        Geometry(*geometry, label);
    }

    void Geometry(const json& geometry, const std::string& label, int depth = 0) {
        const std::string type = TypeOf(geometry, label);
        if (type == "GeometryCollection") {
            // Collections may nest, but not without end: that would only exhaust the stack.
            if (depth >= MaxCollectionDepth)
                Fail(label, "GeometryCollections nested more than " + std::to_string(MaxCollectionDepth) + " deep");
            const json* members = Member(geometry, "geometries");
            if (!members || !members->is_array()) Fail(label, "a GeometryCollection needs a \"geometries\" array");
            for (std::size_t i = 0; i < members->size(); ++i)
                Geometry((*members)[i], label + ", geometry " + std::to_string(i), depth + 1);
            return;
        }
        const json* coordinates = Member(geometry, "coordinates");
        if (type == "Polygon") {
            Area(Coordinates(coordinates, label), label);
        } else if (type == "MultiPolygon") {
            for (const json& polygon : Coordinates(coordinates, label)) Area(polygon, label);
        } else if (type == "LineString") {
            Line(Coordinates(coordinates, label), label);
        } else if (type == "MultiLineString") {
            for (const json& line : Coordinates(coordinates, label)) Line(line, label);
        } else if (type == "Point" || type == "MultiPoint") {
            Fail(label, "unsupported geometry type \"" + type + "\": only polygons and lines make boundaries");
        } else {
            Fail(label, "unsupported geometry type \"" + type + "\"");
        }
    }

    const json& Coordinates(const json* coordinates, const std::string& label) const {
        if (!coordinates || !coordinates->is_array()) Fail(label, "\"coordinates\" must be an array");
        return *coordinates;
    }

    // Reads positions into path (reused, so no allocation per point), checking each.
    void ReadPath(const json& positions, const std::string& label, GeoPath& path) const {
        if (!positions.is_array()) Fail(label, "expected an array of positions");
        path.clear();
        path.reserve(positions.size());
        for (const json& position : positions) {
            if (!position.is_array() || position.size() < 2 || !position[0].is_number() || !position[1].is_number())
                Fail(label, "a position must be an array of at least two numbers");
            const double longitude = position[0].get<double>();
            const double latitude = position[1].get<double>();
            for (const auto& [value, name] : {std::pair{longitude, "longitude"}, std::pair{latitude, "latitude"}}) {
                if (!std::isfinite(value) || std::abs(value) * 60.0 >= 32767.5) {
                    std::ostringstream text;
                    text << name << " " << value << " is out of range: the file holds " << -MaxDegrees << " to "
                         << MaxDegrees << " degrees";
                    Fail(label, text.str());
                }
            }
            path.push_back({longitude, latitude});
        }
    }

    void Area(const json& rings, const std::string& label) {
        if (!rings.is_array()) Fail(label, "a polygon must be an array of rings");
        if (IsLineKind(FKind)) {
            // Outlines: each ring becomes a line that returns to its start.
            for (const json& ring : rings) {
                ReadPath(ring, label, FPath);
                if (FPath.size() >= 2 && (FPath.front().Longitude != FPath.back().Longitude ||
                                          FPath.front().Latitude != FPath.back().Latitude))
                    FPath.push_back(FPath.front());
                EmitLine(FPath);
            }
            return;
        }
        Polygon polygon;
        polygon.Feature = label;
        for (const json& ring : rings) {
            ReadPath(ring, label, FPath);
            if (FPath.size() >= 2 && FPath.front().Longitude == FPath.back().Longitude &&
                FPath.front().Latitude == FPath.back().Latitude)
                FPath.pop_back();
            polygon.Rings.push_back(FPath);
        }
        if (polygon.Rings.empty()) return;
        polygon.Area = RingArea(polygon.Rings.front());
        FPolygons.push_back(std::move(polygon));
    }

    void Line(const json& positions, const std::string& label) {
        if (!IsLineKind(FKind))
            Fail(label, "a line cannot be filled as area kind " + std::to_string(FKind) +
                            ": give line files a line kind (1, 5 or 9)");
        ReadPath(positions, label, FPath);
        EmitLine(FPath);
    }

    void EmitLine(const GeoPath& path) {
        FPieces.clear();
        SplitLine(path, FPieces);
        for (const GeoPath& piece : FPieces) Emit(piece, FKind, 2);
    }

    void EmitRing(const GeoPath& ring, uint8_t kind, const std::string& label) {
        FPieces.clear();
        const RingWrap wrap = SplitRing(ring, FPieces);
        if (wrap == RingWrap::Tangled)
            Fail(label, "a ring winds round the globe more than once and cannot be drawn on a flat map");
        if (wrap == RingWrap::Elsewhere && FWarn)
            FWarn("warning: " + FSource + ": " + label +
                  ": a ring circles the globe away from the far south; it is closed over the "
                  "nearer pole, which may not be what was meant");
        for (const GeoPath& piece : FPieces) Emit(piece, kind, 3);
    }

    // Rounds a piece to minutes and appends it, unless too little of it is left.
    void Emit(const GeoPath& piece, uint8_t kind, std::size_t fewest) {
        BoundarySegment segment;
        segment.Kind = kind;
        segment.Points.reserve(piece.size());
        for (const GeoPoint& p : piece) {
            const BoundaryPoint point{ToMinutes(p.Longitude), ToMinutes(p.Latitude)};
            if (!segment.Points.empty() && segment.Points.back().Longitude == point.Longitude &&
                segment.Points.back().Latitude == point.Latitude)
                continue;
            segment.Points.push_back(point);
        }
        if (fewest == 3) {
            while (segment.Points.size() > 1 && segment.Points.back().Longitude == segment.Points.front().Longitude &&
                   segment.Points.back().Latitude == segment.Points.front().Latitude)
                segment.Points.pop_back();
        }
        if (segment.Points.size() < fewest) return;
        if (fewest == 3 && EnclosesNothing(segment.Points))
            return;  // e.g. a ring around the pole a hair from it, flat after rounding
        FSegments.push_back(std::move(segment));
    }

    void Finish() {
        std::stable_sort(FPolygons.begin(), FPolygons.end(),
                         [](const Polygon& a, const Polygon& b) { return a.Area > b.Area; });
        for (const Polygon& polygon : FPolygons) {
            for (std::size_t r = 0; r < polygon.Rings.size(); ++r)
                EmitRing(polygon.Rings[r], r == 0 ? FKind : HoleKind(FKind), polygon.Feature);
        }
        FPolygons.clear();
    }

    uint8_t FKind;
    const std::string& FSource;
    std::vector<BoundarySegment>& FSegments;
    const WarningSink& FWarn;
    std::vector<Polygon> FPolygons;
    GeoPath FPath;
    std::vector<GeoPath> FPieces;
};

}  // namespace

void ConvertGeoJson(const json& document, uint8_t kind, const std::string& source,
                    std::vector<BoundarySegment>& segments, const WarningSink& warn) {
    try {
        Converter(kind, source, segments, warn).Document(document);
    } catch (const json::exception& error) {
        // Every value is checked before it is used; this only keeps a missed case from
        // ending the program without a word.
        throw ImportError(source + ": " + error.what());
    }
}

void ImportGeoJsonFile(const std::string& path, uint8_t kind, std::vector<BoundarySegment>& segments,
                       const WarningSink& warn) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw ImportError(path + ": no such file");
    if (!std::filesystem::is_regular_file(path, error)) throw ImportError(path + ": not a regular file");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ImportError(path + ": cannot open the file");
    std::string text;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0) throw ImportError(path + ": cannot read the file");
    text.resize(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(text.data(), size)) throw ImportError(path + ": cannot read the file");

    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& error) {
        // Includes numbers too large for a double, which the parser reports separately.
        throw ImportError(path + ": not valid JSON: " + error.what());
    }
    text = std::string();  // give the bytes back before the segments grow
    ConvertGeoJson(document, kind, path, segments, warn);
}

}  // namespace gridloom::import
