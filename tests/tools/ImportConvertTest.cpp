// Conversion of GeoJSON into boundary segments: rounding, kinds, order and errors.
#include "tools/import/BoundaryImport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace gridloom::import {
namespace {

using nlohmann::json;

struct Converted {
    std::vector<BoundarySegment> Segments;
    std::vector<std::string> Warnings;
};

Converted Convert(const std::string& text, uint8_t kind) {
    Converted result;
    ConvertGeoJson(json::parse(text), kind, "test.json", result.Segments,
                   [&](const std::string& line) { result.Warnings.push_back(line); });
    return result;
}

std::vector<std::pair<int, int>> Points(const BoundarySegment& segment) {
    std::vector<std::pair<int, int>> points;
    for (const BoundaryPoint& p : segment.Points) points.emplace_back(p.Longitude, p.Latitude);
    return points;
}

std::string ErrorOf(const std::string& text, uint8_t kind) {
    try {
        Convert(text, kind);
    } catch (const ImportError& error) {
        return error.what();
    }
    return "";
}

TEST(ImportRounding, RoundsToMinutesHalfAwayFromZero) {
    // 0.5 minutes is 1/120 degree; a binary fraction near it must not matter.
    const auto result = Convert(R"({"type":"LineString","coordinates":
        [[0.008333333333333333,-0.008333333333333333],[1.5,2.25],[-10.004,20.996]]})",
                                1);
    ASSERT_EQ(result.Segments.size(), 1u);
    EXPECT_EQ(Points(result.Segments[0]), (std::vector<std::pair<int, int>>{{1, -1}, {90, 135}, {-600, 1260}}));
}

TEST(ImportRounding, PointsRoundingOntoTheirPredecessorAreDropped) {
    const auto result = Convert(R"({"type":"LineString","coordinates":
        [[0,0],[0.001,0.001],[0.002,-0.003],[1,1],[1,1],[1.004,1]]})",
                                1);
    ASSERT_EQ(result.Segments.size(), 1u);
    EXPECT_EQ(Points(result.Segments[0]), (std::vector<std::pair<int, int>>{{0, 0}, {60, 60}}));
}

TEST(ImportRounding, PiecesTooSmallToDrawAreDropped) {
    // A ring and a line that each round onto a single minute leave nothing behind.
    auto result = Convert(R"({"type":"Polygon","coordinates":
        [[[0,0],[0.001,0],[0.001,0.001],[0,0]]]})",
                          0);
    EXPECT_TRUE(result.Segments.empty());
    result = Convert(R"({"type":"LineString","coordinates":[[5,5],[5.001,5.001]]})", 1);
    EXPECT_TRUE(result.Segments.empty());
    // Nor can a ring whose points all lie on one line once rounded.
    result = Convert(R"({"type":"Polygon","coordinates":[[[0,0],[1,0.001],[2,0],[1,-0.001],[0,0]]]})", 0);
    EXPECT_TRUE(result.Segments.empty());
    // A ring reduced to two distinct points cannot enclose anything either.
    result = Convert(R"({"type":"Polygon","coordinates":[[[0,0],[1,1],[0,0.001],[0,0]]]})", 0);
    EXPECT_TRUE(result.Segments.empty());
}

TEST(ImportRounding, PolygonClosingPointIsNotWritten) {
    const auto result = Convert(R"({"type":"Polygon","coordinates":
        [[[0,0],[1,0],[1,1],[0,0]]]})",
                                0);
    ASSERT_EQ(result.Segments.size(), 1u);
    EXPECT_EQ(Points(result.Segments[0]), (std::vector<std::pair<int, int>>{{0, 0}, {60, 0}, {60, 60}}));
}

TEST(ImportRange, OutOfRangeCoordinateNamesFileAndFeature) {
    const std::string error = ErrorOf(R"({"type":"FeatureCollection","features":[
        {"type":"Feature","properties":{"name":"Fine"},"geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}},
        {"type":"Feature","properties":{"name":"Faraway"},"geometry":{"type":"LineString","coordinates":[[0,0],[1,600]]}}]})",
                                      1);
    EXPECT_NE(error.find("test.json"), std::string::npos) << error;
    EXPECT_NE(error.find("feature 1"), std::string::npos) << error;
    EXPECT_NE(error.find("Faraway"), std::string::npos) << error;
    EXPECT_NE(error.find("latitude"), std::string::npos) << error;
}

TEST(ImportRange, TheSixteenBitLimitIsExact) {
    // 546.1 degrees is 32766 minutes and fits; 546.125 rounds to 32768 and does not.
    EXPECT_EQ(ErrorOf(R"({"type":"LineString","coordinates":[[0,546.1],[0,0]]})", 1), "");
    EXPECT_NE(ErrorOf(R"({"type":"LineString","coordinates":[[0,546.125],[0,0]]})", 1), "");
    EXPECT_NE(ErrorOf(R"({"type":"LineString","coordinates":[[0,1e300],[0,0]]})", 1), "");
}

TEST(ImportErrors, UnsupportedOrMalformedGeometriesAreRefused) {
    EXPECT_NE(ErrorOf(R"({"type":"Point","coordinates":[0,0]})", 1).find("Point"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"type":"MultiPoint","coordinates":[[0,0]]})", 1).find("MultiPoint"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"type":"Circle","coordinates":[0,0]})", 1).find("Circle"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"type":"LineString","coordinates":[[0],[1,1]]})", 1), "");
    EXPECT_NE(ErrorOf(R"({"type":"LineString","coordinates":[["a","b"],[1,1]]})", 1), "");
    EXPECT_NE(ErrorOf(R"({"type":"LineString"})", 1), "");
    EXPECT_NE(ErrorOf(R"({"type":"FeatureCollection"})", 1), "");
    EXPECT_NE(ErrorOf(R"([1,2,3])", 1), "");
    EXPECT_NE(ErrorOf(R"({"coordinates":[[0,0],[1,1]]})", 1), "");
}

TEST(ImportErrors, EndlesslyNestedCollectionsAreRefused) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += R"({"type":"GeometryCollection","geometries":[)";
    text += R"({"type":"LineString","coordinates":[[0,0],[1,1]]})";
    for (int i = 0; i < 10000; ++i) text += "]}";
    EXPECT_NE(ErrorOf(text, 1).find("nested"), std::string::npos);
}

// The message says how deep, not the path down to there.
TEST(ImportErrors, TheNestingErrorSaysTheDepth) {
    std::string text = R"({"type":"Feature","id":"deep","geometry":)";
    for (int i = 0; i < 40; ++i) text += R"({"type":"GeometryCollection","geometries":[)";
    text += R"({"type":"LineString","coordinates":[[0,0],[1,1]]})";
    for (int i = 0; i < 40; ++i) text += "]}";
    text += "}";
    const std::string error = ErrorOf(text, 1);
    EXPECT_EQ(error, "test.json: the feature (\"deep\"): GeometryCollections nested more than 32 deep");
}

TEST(ImportErrors, LineGivenAnAreaKindIsRefused) {
    const std::string error =
        ErrorOf(R"({"type":"Feature","id":"river","geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}})", 0);
    EXPECT_NE(error.find("river"), std::string::npos) << error;
    EXPECT_NE(error.find("line kind"), std::string::npos) << error;
}

TEST(ImportKinds, EveryTopLevelFormIsAccepted) {
    const char* line = R"({"type":"LineString","coordinates":[[0,0],[1,1]]})";
    EXPECT_EQ(Convert(line, 1).Segments.size(), 1u);
    EXPECT_EQ(
        Convert(std::string(R"({"type":"Feature","properties":null,"geometry":)") + line + "}", 1).Segments.size(), 1u);
    EXPECT_EQ(Convert(std::string(R"({"type":"GeometryCollection","geometries":[)") + line + "," + line + "]}", 1)
                  .Segments.size(),
              2u);
    EXPECT_EQ(Convert(std::string(R"({"type":"FeatureCollection","features":[
        {"type":"Feature","geometry":null},
        {"type":"Feature","geometry":)") +
                          line + "}]}",
                      1)
                  .Segments.size(),
              1u);
}

TEST(ImportKinds, MultiGeometriesGiveOneSegmentPerPart) {
    auto result = Convert(R"({"type":"MultiLineString","coordinates":[[[0,0],[1,1]],[[2,2],[3,3]]]})", 5);
    ASSERT_EQ(result.Segments.size(), 2u);
    EXPECT_EQ(result.Segments[0].Kind, 5);
    EXPECT_EQ(result.Segments[1].Points[0].Longitude, 120);
    result = Convert(R"({"type":"MultiPolygon","coordinates":[
        [[[0,0],[1,0],[1,1],[0,0]]], [[[5,5],[6,5],[6,6],[5,5]]]]})",
                     4);
    ASSERT_EQ(result.Segments.size(), 2u);
    EXPECT_EQ(result.Segments[1].Kind, 4);
}

TEST(ImportKinds, HolesInLandBecomeWaterRightAfterTheirPolygon) {
    const auto result = Convert(R"({"type":"Polygon","coordinates":[
        [[0,0],[10,0],[10,10],[0,10],[0,0]],
        [[2,2],[4,2],[4,4],[2,2]]]})",
                                0);
    ASSERT_EQ(result.Segments.size(), 2u);
    EXPECT_EQ(result.Segments[0].Kind, 0);
    EXPECT_EQ(result.Segments[1].Kind, 8);
    EXPECT_EQ(Convert(R"({"type":"Polygon","coordinates":[
        [[0,0],[10,0],[10,10],[0,0]], [[2,1],[4,1],[4,3],[2,1]]]})",
                      8)
                  .Segments[1]
                  .Kind,
              4);
}

TEST(ImportKinds, LargerPolygonsComeFirstSoIslandsInLakesStayVisible) {
    // The island comes first in the input but lies in the continent's lake.
    const auto result = Convert(R"({"type":"MultiPolygon","coordinates":[
        [[[3,3],[3.5,3],[3.5,3.5],[3,3]]],
        [[[0,0],[10,0],[10,10],[0,10],[0,0]], [[2,2],[5,2],[5,5],[2,5],[2,2]]]]})",
                                0);
    ASSERT_EQ(result.Segments.size(), 3u);
    EXPECT_EQ(result.Segments[0].Kind, 0);
    EXPECT_EQ(result.Segments[0].Points.size(), 4u);
    EXPECT_EQ(result.Segments[1].Kind, 8);
    EXPECT_EQ(result.Segments[2].Kind, 0);
    EXPECT_EQ(result.Segments[2].Points[0].Longitude, 180);
}

TEST(ImportKinds, PolygonsGivenALineKindBecomeClosedOutlines) {
    const auto result = Convert(R"({"type":"Polygon","coordinates":[[[0,0],[1,0],[1,1],[0,0]]]})", 1);
    ASSERT_EQ(result.Segments.size(), 1u);
    EXPECT_EQ(result.Segments[0].Kind, 1);
    EXPECT_EQ(Points(result.Segments[0]), (std::vector<std::pair<int, int>>{{0, 0}, {60, 0}, {60, 60}, {0, 0}}));
}

TEST(ImportKinds, InputsAppendInTheOrderGiven) {
    std::vector<BoundarySegment> segments;
    ConvertGeoJson(json::parse(R"({"type":"Polygon","coordinates":[[[0,0],[1,0],[1,1],[0,0]]]})"), 0, "land.json",
                   segments, nullptr);
    ConvertGeoJson(json::parse(R"({"type":"LineString","coordinates":[[0,0],[1,1]]})"), 1, "borders.json", segments,
                   nullptr);
    ConvertGeoJson(json::parse(R"({"type":"LineString","coordinates":[[0,0],[1,1]]})"), 5, "states.json", segments,
                   nullptr);
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].Kind, 0);
    EXPECT_EQ(segments[1].Kind, 1);
    EXPECT_EQ(segments[2].Kind, 5);
}

}  // namespace
}  // namespace gridloom::import
