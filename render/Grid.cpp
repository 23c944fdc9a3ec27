#include "render/Grid.h"

#include <cstdlib>
#include <string>

#include "render/GridDrawing.h"

namespace gridloom {

bool IsLabelledCrossing(int longitude, int latitude) { return longitude % 10 == 0 && latitude % 10 == 0; }

namespace {
std::string DegreeLabel(int degrees, char negative, char positive) {
    std::string text = std::to_string(std::abs(degrees));
    if (degrees < 0)
        text += negative;
    else if (degrees > 0)
        text += positive;
    return text;
}
}  // namespace

std::string MeridianLabel(int longitude) { return DegreeLabel(longitude, 'W', 'E'); }
std::string ParallelLabel(int latitude) { return DegreeLabel(latitude, 'S', 'N'); }

void DrawGrid(TCanvas& canvas, const IRenderSettings& settings) { DrawGridOn(canvas, settings); }

}  // namespace gridloom
