// The grid intervals the user can choose, in the order of the window's radio buttons.
// Everything that names an interval reads this table: the grid drawing (degrees), the
// window (captions), gridloom-make (the words of --grid and its help). The settings store
// the radio index as "GridSpacing", so settings files already written rely on the order.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace gridloom {

struct TGridInterval {
    int RadioIndex;            // the choice's position; what the settings store
    int Degrees;               // between two grid lines; 0 for no grid
    std::string_view Caption;  // the window's radio button
    std::string_view Word;     // gridloom-make's --grid value
};

inline constexpr std::array<TGridInterval, 8> GridIntervals{{
    {0, 1, "1 degree", "1"},
    {1, 2, "2 degrees", "2"},
    {2, 5, "5 degrees", "5"},
    {3, 10, "10 degrees", "10"},
    {4, 15, "15 degrees", "15"},
    {5, 20, "20 degrees", "20"},
    {6, 30, "30 degrees", "30"},
    {7, 0, "(none)", "none"},
}};

constexpr bool RadioIndexesArePositions() {
    for (std::size_t i = 0; i < GridIntervals.size(); ++i)
        if (GridIntervals[i].RadioIndex != int(i)) return false;
    return true;
}
static_assert(RadioIndexesArePositions(), "the radio index of each interval is its place in the table");

// The degrees of the choice at index. Any other index (a hand-edited setting) draws a
// 10-degree grid.
constexpr int GridIntervalDegrees(int index) {
    if (index < 0 || index >= int(GridIntervals.size())) return 10;
    return GridIntervals[std::size_t(index)].Degrees;
}

// The command-line words in table order, as the help text lists them: "1, 2, ... or none".
inline std::string GridIntervalWords() {
    std::string words;
    for (std::size_t i = 0; i < GridIntervals.size(); ++i) {
        if (i > 0) words += i + 1 == GridIntervals.size() ? " or " : ", ";
        words += GridIntervals[i].Word;
    }
    return words;
}

}  // namespace gridloom
