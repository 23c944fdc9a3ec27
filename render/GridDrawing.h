// How the grid is laid out, written once for any drawing surface: the master image's
// canvas in the program, a recording stand-in in the tests, which check the layout
// arithmetic to the pixel independently of fonts and rasterising.
//
// A surface offers the members of TCanvas the grid uses: Pen, Font, MoveTo, LineTo,
// TextWidth, TextHeight and TextOut.
#pragma once

#include <cstdlib>
#include <string>

#include "render/Color.h"
#include "render/Grid.h"
#include "render/GridIntervals.h"
#include "render/PenWidth.h"
#include "render/Projection.h"
#include "render/RenderSettings.h"

namespace gridloom {

// The label of a meridian ("170W", "0", "30E") or a parallel ("80S", "0", "45N").
std::string MeridianLabel(int longitude);
std::string ParallelLabel(int latitude);

template <class Surface>
void DrawGridOn(Surface& s, const IRenderSettings& settings) {
    const int a = GridIntervalDegrees(settings.GridIndex());
    if (a == 0) return;
    const bool annotate = settings.ShowScaleAnnotation();

    s.Pen.Color = clRed;
    s.Font.Color = clRed;
    s.Pen.Width = DrawnPenWidth(settings.GridlineWidth());

    // All meridians with their labels come first, so that the parallels drawn afterwards,
    // and their labels, lie on top of meridian labels where the two meet.
    for (int i = -180 / a; i <= 180 / a; ++i) {
        const int lon = a * i;
        if (std::abs(lon) == 180) continue;  // the map's two side edges: a line and labels there would be cut in half
        // Meridians stop a degree short of the poles, where they would crowd into a comb.
        const TPoint south = LonLatToPixel(lon, -89);
        const TPoint north = LonLatToPixel(lon, 89);
        s.MoveTo(south.X, south.Y);
        s.LineTo(north.X, north.Y);
        if (!annotate) continue;
        for (int j = -90 / a; j <= 90 / a; ++j) {
            const int lat = a * j;
            if (std::abs(lat) == 90 || !IsLabelledCrossing(lon, lat)) continue;
            const std::string text = MeridianLabel(lon);
            const TPoint p = LonLatToPixel(lon, lat);
            const int w = s.TextWidth(text);
            const int h = s.TextHeight(text);
            // Centred under the meridian, half a line below the crossing, clear of the parallel.
            s.TextOut(p.X - w / 2, p.Y + h / 2, text);
        }
    }

    for (int j = -90 / a; j <= 90 / a; ++j) {
        const int lat = a * j;
        if (std::abs(lat) == 90) continue;
        const TPoint west = LonLatToPixel(-180, lat);
        const TPoint east = LonLatToPixel(180, lat);
        s.MoveTo(west.X, west.Y);
        s.LineTo(east.X, east.Y);  // x = 7920 is one past the last column: the full width
        if (!annotate) continue;
        for (int i = -180 / a; i <= 180 / a; ++i) {
            const int lon = a * i;
            if (std::abs(lon) == 180 || !IsLabelledCrossing(lon, lat)) continue;
            const std::string text = ParallelLabel(lat);
            const TPoint p = LonLatToPixel(lon, lat);
            // Measured with two trailing spaces so the label stops two space-widths short of
            // the meridian; only the text itself is written.
            const int w = s.TextWidth(text + "  ");
            const int h = s.TextHeight(text);
            s.TextOut(p.X - w, p.Y - h / 2, text);
        }
    }
}

}  // namespace gridloom
