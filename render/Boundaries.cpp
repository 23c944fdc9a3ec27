#include "render/Boundaries.h"

#include <algorithm>
#include <cstdlib>

#include "render/BoundaryDrawing.h"
#include "render/Projection.h"

namespace gridloom {

std::size_t BoundaryWorkingSize(const TCartogList& list) {
    std::size_t longest = 0;
    for (int i = 0; i < list.Count(); ++i)
        longest = std::max<std::size_t>(longest, std::max<int32_t>(list.GetSegment(i).Count, 0));
    return longest + BoundaryWrapReserve;
}

std::size_t CollectSegmentPixels(const TLineSegment& segment, std::vector<TPoint>& work) {
    if (segment.Count <= 0 || !segment.Points)
        return 0;
    const BoundaryPoint* points = segment.Points.get();
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
    TPoint prev = LonLatToPixel(points[0].Longitude / 60.0, points[0].Latitude / 60.0);
    out[n++] = prev;

    for (int32_t j = 1; j <= last; ++j) {
        const double lat = points[j].Latitude / 60.0;
        const TPoint p = LonLatToPixel(points[j].Longitude / 60.0, lat);
        const int64_t dx = std::llabs(int64_t(prev.X) - p.X);
        const int64_t dy = std::llabs(int64_t(prev.Y) - p.Y);

        if (dx > BoundaryWrapJump && lat < BoundaryWrapLatitude) {
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

void DrawBoundaries(TCanvas& canvas, const TCartogList& list, const IRenderSettings& settings,
                    IDrawProgress& progress, ITickSource& ticks) {
    DrawBoundariesOn(canvas, list, settings, progress, ticks);
}

}  // namespace gridloom
