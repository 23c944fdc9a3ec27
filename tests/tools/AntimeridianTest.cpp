// Rings and lines across the antimeridian, and rings around the south pole.
#include "tools/import/Antimeridian.h"
#include "tools/import/BoundaryImport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace gridloom::import {
namespace {

std::vector<BoundarySegment> Convert(const std::string& text, uint8_t kind,
                                     std::vector<std::string>* warnings = nullptr) {
    std::vector<BoundarySegment> segments;
    ConvertGeoJson(nlohmann::json::parse(text), kind, "test.json", segments, [&](const std::string& line) {
        if (warnings) warnings->push_back(line);
    });
    return segments;
}

// Every point but the two closing the ring over the pole lies no further west than the one before.
void ExpectWalkedEastward(const BoundarySegment& ring) {
    for (std::size_t i = 1; i + 2 < ring.Points.size(); ++i)
        EXPECT_GE(ring.Points[i].Longitude, ring.Points[i - 1].Longitude) << "point " << i;
}

bool WithinMap(const BoundarySegment& segment) {
    return std::all_of(segment.Points.begin(), segment.Points.end(),
                       [](const BoundaryPoint& p) { return p.Longitude >= -10800 && p.Longitude <= 10800; });
}

// The renderer joins consecutive points straight across the map, so a step of more than
// half the map's width is the streak these functions exist to prevent.
bool NoStreak(const BoundarySegment& segment) {
    for (std::size_t i = 1; i < segment.Points.size(); ++i) {
        const int step = std::abs(segment.Points[i].Longitude - segment.Points[i - 1].Longitude);
        const bool alongThePole = std::abs(segment.Points[i].Latitude) == 5400 &&
                                  segment.Points[i].Latitude == segment.Points[i - 1].Latitude;
        if (step > 10800 && !alongThePole) return false;
    }
    return true;
}

TEST(Antimeridian, RingAwayFromItIsUntouched) {
    GeoPath ring = {{10, 10}, {20, 10}, {20, 20}};
    std::vector<GeoPath> pieces;
    EXPECT_EQ(SplitRing(ring, pieces), RingWrap::None);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].size(), 3u);
    EXPECT_EQ(pieces[0][1].Longitude, 20);
}

TEST(Antimeridian, RingAcrossItIsSplitAndClosedAlongTheEdge) {
    // Like Chukotka: from 170 E across to 170 W and back.
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[170,60],[-170,60],[-170,70],[170,70],[170,60]]]})",
                                  0);
    ASSERT_EQ(segments.size(), 2u);
    int eastern = 0;
    int western = 0;
    for (const BoundarySegment& segment : segments) {
        EXPECT_TRUE(WithinMap(segment));
        EXPECT_TRUE(NoStreak(segment));
        const auto minmax = std::minmax_element(
            segment.Points.begin(), segment.Points.end(),
            [](const BoundaryPoint& a, const BoundaryPoint& b) { return a.Longitude < b.Longitude; });
        if (minmax.first->Longitude == 10200 && minmax.second->Longitude == 10800) ++eastern;
        if (minmax.first->Longitude == -10800 && minmax.second->Longitude == -10200) ++western;
        EXPECT_EQ(segment.Points.size(), 4u);
    }
    EXPECT_EQ(eastern, 1);
    EXPECT_EQ(western, 1);
}

TEST(Antimeridian, RingTouchingItFromOneSideIsNotMoved) {
    // Data already cut at the antimeridian, as Natural Earth's is.
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[170,60],[180,60],[180,70],[170,70],[170,60]]]})",
                                  0);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].Points[1].Longitude, 10800);
    EXPECT_EQ(segments[0].Points[2].Longitude, 10800);
}

TEST(Antimeridian, LineAcrossItIsCutWhereItCrosses) {
    std::vector<GeoPath> pieces;
    SplitLine({{170, 0}, {-170, 10}}, pieces);
    ASSERT_EQ(pieces.size(), 2u);
    ASSERT_EQ(pieces[0].size(), 2u);
    ASSERT_EQ(pieces[1].size(), 2u);
    EXPECT_DOUBLE_EQ(pieces[0][1].Longitude, 180);
    EXPECT_DOUBLE_EQ(pieces[0][1].Latitude, 5);
    EXPECT_DOUBLE_EQ(pieces[1][0].Longitude, -180);
    EXPECT_DOUBLE_EQ(pieces[1][0].Latitude, 5);
    EXPECT_DOUBLE_EQ(pieces[1][1].Longitude, -170);
}

TEST(Antimeridian, LineEndingOnItStaysOnItsSide) {
    std::vector<GeoPath> pieces;
    SplitLine({{170, 0}, {180, 5}}, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0][1].Longitude, 180);
    pieces.clear();
    SplitLine({{-180, 5}, {-170, 0}}, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0][0].Longitude, -180);
}

TEST(Antimeridian, LineCrossingBackAndForthGivesThreePieces) {
    std::vector<GeoPath> pieces;
    SplitLine({{175, 0}, {-175, 0}, {175, 1}}, pieces);
    EXPECT_EQ(pieces.size(), 3u);
}

TEST(Antarctica, RingWithoutPolePointsIsClosedOverTheSouthPole) {
    // Crosses the antimeridian once, going east, and never reaches the pole itself.
    std::vector<std::string> warnings;
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[170,-70],[-170,-72],[-90,-65],[0,-70],[90,-66],[170,-70]]]})",
                                  0, &warnings);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(segments.size(), 1u);
    const BoundarySegment& ring = segments[0];
    EXPECT_TRUE(WithinMap(ring));
    EXPECT_TRUE(NoStreak(ring));
    // Starts on the western edge, walks east, then closes through the pole's corners.
    EXPECT_EQ(ring.Points.front().Longitude, -10800);
    const std::size_t n = ring.Points.size();
    EXPECT_EQ(ring.Points[n - 3].Longitude, 10800);
    EXPECT_EQ(ring.Points[n - 2].Longitude, 10800);
    EXPECT_EQ(ring.Points[n - 2].Latitude, -5400);
    EXPECT_EQ(ring.Points[n - 1].Longitude, -10800);
    EXPECT_EQ(ring.Points[n - 1].Latitude, -5400);
    EXPECT_EQ(ring.Points.front().Latitude, ring.Points[n - 3].Latitude);
    ExpectWalkedEastward(ring);
}

TEST(Antarctica, WestwardRingComesOutWalkedEastward) {
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[170,-70],[90,-66],[0,-70],[-90,-65],[-170,-72],[170,-70]]]})",
                                  0);
    ASSERT_EQ(segments.size(), 1u);
    ExpectWalkedEastward(segments[0]);
}

TEST(Antarctica, NaturalEarthStyleRingWithPolePointsStaysOnePiece) {
    // Already drawn down the antimeridian to the pole and back along it.
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[-180,-84],[-90,-70],[0,-70],[90,-70],[180,-84],[180,-90],[-180,-90],[-180,-84]]]})",
                                  0);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_TRUE(WithinMap(segments[0]));
    EXPECT_TRUE(NoStreak(segments[0]));
    const auto& points = segments[0].Points;
    EXPECT_EQ(points.back().Longitude, -10800);
    EXPECT_EQ(points.back().Latitude, -5400);
}

TEST(Antarctica, HoleHuggingThePoleIsDropped) {
    // Some data mark a polygon as holding the pole with a tiny ring around it; on the flat
    // map it rounds onto the map's bottom edge and would only draw a line there.
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[-180,-84],[-90,-70],[0,-70],[90,-70],[179,-84],[-180,-84]],
        [[-180,-89.999],[90,-89.999],[0,-89.999],[-90,-89.999],[-180,-89.999]]]})",
                                  0);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].Kind, 0);
}

TEST(Antarctica, RingCirclingTheGlobeElsewhereIsWarnedAbout) {
    std::vector<std::string> warnings;
    const auto segments = Convert(R"({"type":"Polygon","coordinates":[
        [[0,80],[90,80],[180,81],[-90,80],[0,80]]]})",
                                  0, &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("test.json"), std::string::npos);
    EXPECT_NE(warnings[0].find("circles the globe"), std::string::npos);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_TRUE(NoStreak(segments[0]));
    EXPECT_EQ(segments[0].Points.back().Latitude, 5400);  // closed over the north pole
}

TEST(Antimeridian, RingWindingRoundManyTimesIsRefusedQuickly) {
    // Each step goes 170 degrees east: the ring winds round the globe over a thousand times.
    GeoPath ring;
    for (int i = 0; i < 20000; ++i) ring.push_back({std::fmod(170.0 * i + 180.0, 360.0) - 180.0, (i % 2) ? 1.0 : -1.0});
    std::vector<GeoPath> pieces;
    EXPECT_EQ(SplitRing(ring, pieces), RingWrap::Tangled);
    EXPECT_TRUE(pieces.empty());
    std::string text = R"({"type":"Polygon","coordinates":[[)";
    for (std::size_t i = 0; i < ring.size(); ++i)
        text += (i ? "," : "") + nlohmann::json::array({ring[i].Longitude, ring[i].Latitude}).dump();
    text += "]]}";
    EXPECT_THROW(Convert(text, 0), ImportError);
}

TEST(Antarctica, AreaCountsThePolarCap) {
    // A band from 80 S to the pole all round is 360 x 10 square degrees.
    EXPECT_NEAR(RingArea({{-180, -80}, {-60, -80}, {60, -80}}), 3600.0, 1e-9);
    EXPECT_NEAR(RingArea({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 100.0, 1e-9);
}

}  // namespace
}  // namespace gridloom::import
