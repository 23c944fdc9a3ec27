#include "render/Boundaries.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/BoundaryDrawing.h"
#include "render/Projection.h"

namespace gridloom {

namespace {

// The pixel column of every possible longitude and the row of every possible latitude, in
// whole minutes of arc as the data stores them. A column depends on the longitude alone and
// a row on the latitude alone, so two lookups give exactly what LonLatToPixel computes for
// the point, at a fraction of the cost of its four divisions: the boundary data runs to
// hundreds of thousands of points, and the tables are made once per process.
class TMinuteProjection {
public:
    TMinuteProjection() : FColumns(1 << 16), FRows(1 << 16) {
        for (int m = INT16_MIN; m <= INT16_MAX; ++m) {
            FColumns[std::size_t(m - INT16_MIN)] = LonLatToPixel(m / 60.0, 0).X;
            FRows[std::size_t(m - INT16_MIN)] = LonLatToPixel(0, m / 60.0).Y;
        }
    }
    TPoint operator()(const BoundaryPoint& p) const {
        return {FColumns[std::size_t(p.Longitude - INT16_MIN)], FRows[std::size_t(p.Latitude - INT16_MIN)]};
    }
    static const TMinuteProjection& Instance() {
        static const TMinuteProjection projection;
        return projection;
    }

private:
    std::vector<int32_t> FColumns;
    std::vector<int32_t> FRows;
};

// lat < -82 degrees, with lat = minutes / 60 as the projection takes it, holds exactly for
// whole minutes below -4920: -4921 / 60 is already clear of -82.
constexpr int32_t WrapLatitudeMinutes = -4920;
static_assert(BoundaryWrapLatitude * 60 == WrapLatitudeMinutes);

}  // namespace

std::size_t BoundaryWorkingSize(const TCartogList& list) {
    std::size_t longest = 0;
    for (int i = 0; i < list.Count(); ++i)
        longest = std::max<std::size_t>(longest, std::max<int32_t>(list.GetSegment(i).Count, 0));
    return longest + BoundaryWrapReserve;
}

std::size_t CollectSegmentPixels(const TLineSegment& segment, std::vector<TPoint>& work) {
    if (segment.Count <= 0 || !segment.Points) return 0;
    const BoundaryPoint* points = segment.Points.get();
    const TMinuteProjection& project = TMinuteProjection::Instance();
    const int32_t last = segment.Count - 1;

    TPoint* out = work.data();
    std::size_t room = work.size();
    std::size_t n = 0;
    auto ensure = [&](std::size_t more) {
        if (n + more > room) {
            work.resize(std::max(room * 2, n + more));
            out = work.data();
            room = work.size();
        }
    };

    // The first point is always kept. Comparing it with a made-up "previous" pixel would
    // drop a first point that happens to project onto that pixel, and would take any first
    // point far east and far south for a jump across the dateline: there is no jump without
    // a point to jump from.
    ensure(1);
    TPoint prev = project(points[0]);
    out[n++] = prev;

    for (int32_t j = 1; j <= last; ++j) {
        const TPoint p = project(points[j]);
        const int64_t dx = std::llabs(int64_t(prev.X) - p.X);
        const int64_t dy = std::llabs(int64_t(prev.Y) - p.Y);

        if (dx > BoundaryWrapJump && points[j].Latitude < WrapLatitudeMinutes) {
            // The ring leaves by one side edge of the map and comes back by the other, far
            // south: go down the edge it left by, along the bottom and up the edge it returns
            // by, so the polygon closes over the bottom of the map and fills the strip below
            // the coast instead of drawing two long edges straight across the map. A ring
            // walked eastward jumps from the right edge to the left, one walked westward from
            // the left edge to the right; each gets its own detour.
            const int32_t m = static_cast<int32_t>((int64_t(prev.Y) + p.Y) / 2);
            const int32_t from = p.X > prev.X ? 0 : MasterWidth - 1;
            const int32_t to = MasterWidth - 1 - from;
            ensure(5);
            out[n++] = prev;
            out[n++] = {from, m};
            out[n++] = {from, MasterHeight - 1};
            out[n++] = {to, MasterHeight - 1};
            out[n++] = {to, m};
        }
        // Points are in minutes of arc, finer than the image: neighbours on the same pixel
        // add nothing but work for the rasteriser.
        if (dx > 0 || dy > 0 || j == last) {
            ensure(1);
            out[n++] = p;
            prev = p;
        }
    }
    return n;
}

void DrawBoundaries(TCanvas& canvas, const TCartogList& list, const IRenderSettings& settings, IDrawProgress& progress,
                    ITickSource& ticks) {
    DrawBoundariesOn(canvas, list, settings, progress, ticks);
}

}  // namespace gridloom
