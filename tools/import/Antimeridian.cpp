#include "tools/import/Antimeridian.h"

#include <algorithm>
#include <cmath>

namespace gridloom::import {
namespace {

// A step in longitude taken the shorter way round, so -180..180; a step of exactly 360
// (from 180 to -180 along the same latitude, as data split at the antimeridian has) is no
// step at all.
double ShortStep(double step) {
    step = std::fmod(step, 360.0);
    if (step > 180.0)
        step -= 360.0;
    else if (step < -180.0)
        step += 360.0;
    return step;
}

// Replaces each longitude after the first by its predecessor plus the short step, so the
// path is continuous in the plane, and returns the short step that would close the ring.
double Unwrap(const GeoPath& path, GeoPath& lifted) {
    lifted.clear();
    lifted.reserve(path.size() + 4);
    for (std::size_t i = 0; i < path.size(); ++i) {
        GeoPoint p = path[i];
        if (i > 0) p.Longitude = lifted.back().Longitude + ShortStep(path[i].Longitude - path[i - 1].Longitude);
        lifted.push_back(p);
    }
    if (path.empty()) return 0.0;
    return ShortStep(path.front().Longitude - path.back().Longitude);
}

double SignedArea(const GeoPath& ring) {
    double twice = 0.0;
    for (std::size_t i = 0, n = ring.size(); i < n; ++i) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[(i + 1) % n];
        twice += a.Longitude * b.Latitude - b.Longitude * a.Latitude;
    }
    return twice / 2.0;
}

bool WithinMap(const GeoPath& path) {
    return std::all_of(path.begin(), path.end(),
                       [](const GeoPoint& p) { return p.Longitude >= -180.0 && p.Longitude <= 180.0; });
}

GeoPoint AtLongitude(const GeoPoint& a, const GeoPoint& b, double longitude) {
    const double t = (longitude - a.Longitude) / (b.Longitude - a.Longitude);
    return {longitude, a.Latitude + t * (b.Latitude - a.Latitude)};
}

// One half-plane pass of polygon clipping: keeps the part where keep(x) holds.
template <class Keep>
void ClipHalf(const GeoPath& in, GeoPath& out, double edge, Keep keep) {
    out.clear();
    for (std::size_t i = 0, n = in.size(); i < n; ++i) {
        const GeoPoint& a = in[i];
        const GeoPoint& b = in[(i + 1) % n];
        const bool aIn = keep(a.Longitude);
        const bool bIn = keep(b.Longitude);
        if (aIn) out.push_back(a);
        if (aIn != bIn && a.Longitude != edge && b.Longitude != edge) out.push_back(AtLongitude(a, b, edge));
    }
}

// Cuts a continuous polygon into the 360-degree bands it covers and moves each part into
// -180..180. Parts of no area (a touch of the band's edge) are left out.
void ClipToBands(const GeoPath& polygon, std::vector<GeoPath>& pieces) {
    double west = polygon.front().Longitude;
    double east = west;
    for (const GeoPoint& p : polygon) {
        west = std::min(west, p.Longitude);
        east = std::max(east, p.Longitude);
    }
    const long first = std::lround(std::floor((west + 180.0) / 360.0));
    const long last = std::lround(std::ceil((east - 180.0) / 360.0));
    GeoPath half;
    GeoPath band;
    for (long k = first; k <= last; ++k) {
        const double low = -180.0 + 360.0 * static_cast<double>(k);
        const double high = low + 360.0;
        ClipHalf(polygon, half, low, [low](double x) { return x >= low; });
        ClipHalf(half, band, high, [high](double x) { return x <= high; });
        if (band.size() < 3 || std::abs(SignedArea(band)) < 1e-12) continue;
        for (GeoPoint& p : band) p.Longitude -= 360.0 * static_cast<double>(k);
        pieces.push_back(band);
    }
}

// The band a longitude lies in: band k covers -180 + 360k .. 180 + 360k.
long BandOf(double longitude) { return std::lround(std::floor((longitude + 180.0) / 360.0)); }

}  // namespace

RingWrap SplitRing(const GeoPath& ring, std::vector<GeoPath>& pieces) {
    if (ring.size() < 3) return RingWrap::None;

    GeoPath lifted;
    const double closing = Unwrap(ring, lifted);
    const double round = lifted.back().Longitude - lifted.front().Longitude + closing;

    // Real rings span at most a turn and a bit; cutting one that spans many turns would take
    // time in proportion to turns times points, which crafted input could make unbounded.
    double west = lifted.front().Longitude;
    double east = west;
    for (const GeoPoint& p : lifted) {
        west = std::min(west, p.Longitude);
        east = std::max(east, p.Longitude);
    }
    if (std::abs(round) > 540.0 || east - west > 720.0) return RingWrap::Tangled;

    if (std::abs(round) < 180.0) {
        // Most rings never come near the antimeridian and go through untouched.
        if (WithinMap(lifted))
            pieces.push_back(lifted);
        else
            ClipToBands(lifted, pieces);
        return RingWrap::None;
    }

    // The ring circles a pole. Walk it eastward, starting where it crosses a meridian of
    // 180 degrees, so that it runs from -180 to 180, then close it over the pole.
    if (round < 0.0) std::reverse(lifted.begin(), lifted.end());
    const std::size_t n = lifted.size();
    // The ring's last point joined to its first, once round the globe further east.
    lifted.push_back({lifted.front().Longitude + 360.0, lifted.front().Latitude});

    std::size_t cut = 0;
    double meridian = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double a = lifted[i].Longitude;
        const double b = lifted[i + 1].Longitude;
        const double line = 180.0 + 360.0 * std::floor((b - 180.0) / 360.0);
        if (a < line && b >= line) {
            cut = i;
            meridian = line;
            break;
        }
    }
    const GeoPoint start = AtLongitude(lifted[cut], lifted[cut + 1], meridian);
    GeoPath walk;
    walk.reserve(n + 4);
    walk.push_back({-180.0, start.Latitude});
    const double shift = -180.0 - meridian;
    for (std::size_t j = cut + 1; j <= n; ++j) walk.push_back({lifted[j].Longitude + shift, lifted[j].Latitude});
    for (std::size_t j = 1; j <= cut; ++j) walk.push_back({lifted[j].Longitude + 360.0 + shift, lifted[j].Latitude});
    walk.push_back({180.0, start.Latitude});

    double north = -90.0;
    double sum = 0.0;
    for (const GeoPoint& p : ring) {
        north = std::max(north, p.Latitude);
        sum += p.Latitude;
    }
    const double pole = sum / static_cast<double>(ring.size()) > 0.0 ? 90.0 : -90.0;
    walk.push_back({180.0, pole});
    walk.push_back({-180.0, pole});

    if (WithinMap(walk))
        pieces.push_back(walk);
    else
        ClipToBands(walk, pieces);  // the ring wanders back across the antimeridian
    return north < WrapFarSouthLatitude ? RingWrap::FarSouth : RingWrap::Elsewhere;
}

void SplitLine(const GeoPath& line, std::vector<GeoPath>& pieces) {
    if (line.size() < 2) return;
    GeoPath lifted;
    Unwrap(line, lifted);
    if (WithinMap(lifted)) {
        pieces.push_back(lifted);
        return;
    }

    // A point on a band's edge belongs to the band of the line's next point off the edge,
    // so that a line ending exactly at 180 degrees is not moved to -180.
    long band = BandOf(lifted.front().Longitude);
    for (const GeoPoint& p : lifted) {
        const double x = p.Longitude;
        if (std::fmod(x + 180.0, 360.0) != 0.0) {
            band = BandOf(x);
            break;
        }
    }

    GeoPath piece;
    const auto moved = [](GeoPoint p, long k) {
        p.Longitude -= 360.0 * static_cast<double>(k);
        return p;
    };
    for (std::size_t i = 0; i < lifted.size(); ++i) {
        const GeoPoint& p = lifted[i];
        const double low = -180.0 + 360.0 * static_cast<double>(band);
        const double high = low + 360.0;
        if (p.Longitude < low || p.Longitude > high) {
            // Steps are shorter than 180 degrees, so the step crosses one edge only.
            const double edge = p.Longitude < low ? low : high;
            const GeoPoint cross = AtLongitude(lifted[i - 1], p, edge);
            piece.push_back(moved(cross, band));
            if (piece.size() >= 2) pieces.push_back(piece);
            piece.clear();
            band = BandOf(p.Longitude);
            piece.push_back(moved(cross, band));
        }
        piece.push_back(moved(p, band));
    }
    if (piece.size() >= 2) pieces.push_back(piece);
}

double RingArea(const GeoPath& ring) {
    if (ring.size() < 3) return 0.0;
    GeoPath lifted;
    const double closing = Unwrap(ring, lifted);
    const double round = lifted.back().Longitude - lifted.front().Longitude + closing;
    if (std::abs(round) >= 180.0) {
        double sum = 0.0;
        for (const GeoPoint& p : ring) sum += p.Latitude;
        const double pole = sum > 0.0 ? 90.0 : -90.0;
        lifted.push_back({lifted.front().Longitude + round, lifted.front().Latitude});
        lifted.push_back({lifted.back().Longitude, pole});
        lifted.push_back({lifted.front().Longitude, pole});
    }
    return std::abs(SignedArea(lifted));
}

}  // namespace gridloom::import
