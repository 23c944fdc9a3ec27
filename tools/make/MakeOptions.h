// The command line of gridloom-make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/Font.h"
#include "render/PenWidth.h"
#include "run/FirstStart.h"

namespace gridloom {

// What the window offers, as options; the defaults are the window's first-start defaults.
struct TMakeOptions {
    std::string DataPath = "Countries.dat";
    std::string OutputPath = "Overlay.bmp";
    int GridIndex = FirstStart::GridIndex;  // the radio index, see render/GridIntervals.h
    bool Labels = FirstStart::Labels;
    bool GridOnTop = FirstStart::GridOnTop;
    bool ShowBoundaries = FirstStart::ShowBoundaries;
    int32_t GridlineWidth = FirstStart::GridlineWidth;
    int32_t BoundaryWidth = FirstStart::BoundaryWidth;
    std::string FontName = FirstStart::FontName;
    int32_t FontSize = FirstStart::FontSize;
    TFontStyles FontStyle = FirstStart::FontStyle;
    bool OverwriteReadOnly = false;  // the "Yes" to overwriting a read-only output
    bool Quiet = false;
    bool Strict = false;  // damaged boundary data is an error, not a warning
};

enum class TMakeAction { Run, Help, Version, Error };

struct TMakeCommand {
    TMakeAction Action = TMakeAction::Run;
    TMakeOptions Options;
    std::string Error;  // one line, for Error
};

// Parses the arguments after the program name. Options take their value as the next
// argument or after '='. The last of repeated options wins.
TMakeCommand ParseMakeCommand(const std::vector<std::string>& args);

// The --help text and the --version line.
std::string MakeUsage();
std::string MakeVersion();

// Limits of the numeric options.
constexpr int32_t MaxLineWidth = MaxPenWidth;  // the widest the drawing draws
constexpr int32_t MaxFontSize = 500;

}  // namespace gridloom
