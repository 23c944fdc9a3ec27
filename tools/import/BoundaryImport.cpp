#include "tools/import/BoundaryImport.h"

#include "tools/import/Antimeridian.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <cstdio>
#include <memory>
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

// Where a polygon's segments (outer ring first, then holes) lie among those waiting until
// every polygon of the input is known and they can be written largest first. They wait as
// written, in minutes, so that what waits is no larger than the output it becomes.
struct Polygon {
    double Area = 0.0;
    std::size_t First = 0;
    std::size_t Count = 0;
};

class Converter {
public:
    Converter(uint8_t kind, const std::string& source, std::vector<BoundarySegment>& segments, const WarningSink& warn)
        : FKind(kind), FSource(source), FSegments(segments), FWarn(warn) {}

    // The whole document. `firstFeature` is the number of features of a FeatureCollection
    // already converted (and taken out of it) while it was read.
    void Document(const json& document, std::size_t firstFeature = 0) {
        const std::string type = TypeOf(document, "the document");
        if (type == "FeatureCollection") {
            const json* features = Member(document, "features");
            if (!features || !features->is_array())
                Fail("the document", "a FeatureCollection needs a \"features\" array");
            for (std::size_t i = 0; i < features->size(); ++i)
                Feature((*features)[i], FeatureLabel((*features)[i], firstFeature + i));
        } else if (type == "Feature") {
            Feature(document, FeatureLabel(document, std::nullopt));
        } else {
            Geometry(document, "the geometry");
        }
        Finish();
    }

    // One feature of a FeatureCollection, the index-th, as soon as it has been read.
    void CollectionFeature(const json& feature, std::size_t index) { Feature(feature, FeatureLabel(feature, index)); }

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

    // `feature` names the feature (or the document) the geometry belongs to; `label` the
    // geometry itself, which for a member of a collection says its place and depth.
    void Geometry(const json& geometry, const std::string& feature) { Geometry(geometry, feature, feature, 0); }

    void Geometry(const json& geometry, const std::string& feature, const std::string& label, int depth) {
        const std::string type = TypeOf(geometry, label);
        if (type == "GeometryCollection") {
            // Collections may nest, but not without end: that would only exhaust the stack.
            if (depth >= MaxCollectionDepth)
                Fail(feature, "GeometryCollections nested more than " + std::to_string(MaxCollectionDepth) + " deep");
            const json* members = Member(geometry, "geometries");
            if (!members || !members->is_array()) Fail(label, "a GeometryCollection needs a \"geometries\" array");
            for (std::size_t i = 0; i < members->size(); ++i) {
                std::string member = feature + ", geometry " + std::to_string(i);
                if (depth > 0) member += " at depth " + std::to_string(depth + 1);
                Geometry((*members)[i], feature, member, depth + 1);
            }
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
        polygon.First = FWaiting.size();
        for (std::size_t r = 0; r < rings.size(); ++r) {
            ReadPath(rings[r], label, FPath);
            if (FPath.size() >= 2 && FPath.front().Longitude == FPath.back().Longitude &&
                FPath.front().Latitude == FPath.back().Latitude)
                FPath.pop_back();
            if (r == 0) polygon.Area = RingArea(FPath);
            EmitRing(FPath, r == 0 ? FKind : HoleKind(FKind), label, FWaiting);
        }
        if (rings.empty()) return;
        polygon.Count = FWaiting.size() - polygon.First;
        FPolygons.push_back(polygon);
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
        for (const GeoPath& piece : FPieces) Emit(piece, FKind, 2, FSegments);
    }

    void EmitRing(const GeoPath& ring, uint8_t kind, const std::string& label, std::vector<BoundarySegment>& to) {
        FPieces.clear();
        const RingWrap wrap = SplitRing(ring, FPieces);
        if (wrap == RingWrap::Tangled)
            Fail(label, "a ring winds round the globe more than once and cannot be drawn on a flat map");
        if (wrap == RingWrap::Elsewhere && FWarn)
            FWarn("warning: " + FSource + ": " + label +
                  ": a ring circles the globe away from the far south; it is closed over the "
                  "nearer pole, which may not be what was meant");
        for (const GeoPath& piece : FPieces) Emit(piece, kind, 3, to);
    }

    // Rounds a piece to minutes and appends it, unless too little of it is left.
    void Emit(const GeoPath& piece, uint8_t kind, std::size_t fewest, std::vector<BoundarySegment>& to) {
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
        to.push_back(std::move(segment));
    }

    void Finish() {
        std::stable_sort(FPolygons.begin(), FPolygons.end(),
                         [](const Polygon& a, const Polygon& b) { return a.Area > b.Area; });
        FSegments.reserve(FSegments.size() + FWaiting.size());
        for (const Polygon& polygon : FPolygons)
            for (std::size_t i = 0; i < polygon.Count; ++i) FSegments.push_back(std::move(FWaiting[polygon.First + i]));
        FPolygons.clear();
        FWaiting.clear();
    }

    uint8_t FKind;
    const std::string& FSource;
    std::vector<BoundarySegment>& FSegments;
    const WarningSink& FWarn;
    std::vector<Polygon> FPolygons;
    std::vector<BoundarySegment> FWaiting;  // the polygons' segments, in the order read
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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw ImportError(path + ": cannot open the file");

    // The features of a FeatureCollection are converted one by one as the parser finishes
    // each, and dropped from the tree; the rest of the document is kept and converted at the
    // end. A collection whose "type" comes after its features is kept whole.
    Converter converter(kind, path, segments, warn);
    bool collection = false;
    bool inFeatures = false;
    std::string rootKey;
    std::size_t converted = 0;
    const json::parser_callback_t convertWhileReading = [&](int depth, json::parse_event_t event, json& parsed) {
        using Event = json::parse_event_t;
        if (depth == 1) {
            if (event == Event::key) rootKey = parsed.get<std::string>();
            if (event == Event::value && rootKey == "type") collection = parsed == "FeatureCollection";
            if (event == Event::array_start) inFeatures = rootKey == "features";
            if (event == Event::array_end) inFeatures = false;
            return true;
        }
        if (depth == 2 && inFeatures && collection &&
            (event == Event::object_end || event == Event::array_end || event == Event::value)) {
            converter.CollectionFeature(parsed, converted++);
            return false;
        }
        return true;
    };
    json document;
    try {
        document = json::parse(file.get(), convertWhileReading);
        if (std::ferror(file.get())) throw ImportError(path + ": cannot read the file");
    } catch (const json::exception& error) {
        // Includes numbers too large for a double, which the parser reports separately.
        throw ImportError(path + ": not valid JSON: " + error.what());
    }
    file.reset();
    try {
        converter.Document(document, converted);
    } catch (const json::exception& error) {
        throw ImportError(path + ": " + error.what());
    }
}

std::string Printable(std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length > 0 && i + length <= text.size() && (length != 2 || lead >= 0xC2);
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        out += "\\x";
        out += digits[lead >> 4];
        out += digits[lead & 0xF];
        ++i;
    }
    return out;
}

}  // namespace gridloom::import
