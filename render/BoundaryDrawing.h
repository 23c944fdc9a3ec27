// The boundary drawing written once for any drawing surface: the master image's canvas in
// the program, a recording stand-in in the tests, which check the collected pixels exactly.
//
// A surface offers the members of TCanvas the drawing uses: Pen, Brush, Polygon, Polyline.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/Cartography.h"
#include "platform/Ticks.h"
#include "render/Canvas.h"
#include "render/Color.h"
#include "render/PenWidth.h"
#include "render/RenderSettings.h"

namespace gridloom {

// The display is repainted at most this often while the boundaries are drawn.
constexpr uint32_t BoundaryRefreshMs = 350;

// A jump between consecutive pixels wider than this (90 per cent of the image, 324 degrees)
// south of BoundaryWrapLatitude is a polygon crossing the 180-degree meridian round the
// South Pole, which is carried along the image's edges.
constexpr int32_t BoundaryWrapJump = 7128;
constexpr double BoundaryWrapLatitude = -82;

// Pixels set aside for the edge detours of a segment beyond its own points; Antarctica
// needs one or two, and the array grows should a segment need more.
constexpr std::size_t BoundaryWrapReserve = std::size_t{5} * 64;

// Room for the longest segment actually in the list plus BoundaryWrapReserve. MaxPoints is
// not trusted: a crafted file can end with a terminator claiming two thousand million
// points that are not there.
std::size_t BoundaryWorkingSize(const TCartogList& list);

// Projects the segment's points into work, starting at work[0], and returns how many pixels
// were collected. Consecutive points on the same pixel are dropped (the last point always
// stays, so the outline closes where the data closes it), and a jump across the dateline
// south of 82 S is carried round the bottom of the map. Grows work, geometrically, only when
// the detours outrun the reserve. A segment whose Count is negative or whose points are
// missing collects nothing.
std::size_t CollectSegmentPixels(const TLineSegment& segment, std::vector<TPoint>& work);

template <class Surface>
void DrawBoundariesOn(Surface& s, const TCartogList& list, const IRenderSettings& settings, IDrawProgress& progress,
                      ITickSource& ticks) {
    const int count = list.Count();
    if (count <= 0) return;
    std::vector<TPoint> work(BoundaryWorkingSize(list));  // the one array of the whole call
    s.Pen.Width = DrawnPenWidth(settings.BoundaryWidth());
    // Hidden boundaries are drawn in the land colour, so green outlines merge into their fill.
    const TColor pen = settings.ShowBoundaries() ? clYellow : clGreen;
    uint32_t lastRefresh = 0;  // so the first segment always refreshes

    for (int b = 0; b < count; ++b) {
        progress.SetProgress(static_cast<int>(int64_t(b) * 100 / count));
        // Unsigned difference: still right when the tick counter wraps after 49.7 days.
        if (uint32_t(ticks.TickCount() - lastRefresh) > BoundaryRefreshMs) {
            progress.RefreshDisplay();
            lastRefresh = ticks.TickCount();  // after the repaint, which itself takes time
        }

        const TLineSegment& segment = list.GetSegment(b);
        s.Pen.Color = pen;
        switch (static_cast<TBoundaryKind>(AreaKindOf(segment.Kind))) {
        case TBoundaryKind::Land:
        case TBoundaryKind::LandInLake: s.Brush.Color = clGreen; break;
        case TBoundaryKind::Water: s.Brush.Color = clNavy; break;
        default: continue;  // kept in the list, never drawn
        }
        const std::size_t n = CollectSegmentPixels(segment, work);
        if (n == 0) continue;
        const int drawn = n > std::size_t(INT_MAX) ? INT_MAX : static_cast<int>(n);
        if (IsLineKind(segment.Kind))
            s.Polyline(work.data(), drawn);
        else
            s.Polygon(work.data(), drawn);
    }
}

}  // namespace gridloom
