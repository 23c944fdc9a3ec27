// Where everything sits in the About box, in pixels at 96 pixels an inch, for every toolkit
// that draws it. Places inside the panel are relative to the panel's top left corner.
//
// The box the program shows grows out of a plain template: the template's values that the
// shown box changes are kept beside the shown box's own, so that each toolkit builds the
// template first and changes it as the shown box does.
#pragma once

namespace gridloom::about_layout {

struct TRect {
    int Left;
    int Top;
    int Width;
    int Height;
    constexpr int Right() const { return Left + Width; }
    constexpr int Bottom() const { return Top + Height; }
    constexpr bool operator==(const TRect&) const = default;
};

struct TPoint {
    int Left;
    int Top;
    constexpr bool operator==(const TPoint&) const = default;
};

// The box's client area and the bevelled panel holding all but the button.
inline constexpr int ClientWidth = 298;
inline constexpr int ClientHeight = 322;
inline constexpr TRect Panel = {8, 8, 281, 265};
inline constexpr TRect OKButton = {111, 284, 75, 25};

// Inside the panel. Labels without a size are as large as their text.
inline constexpr TRect ProgramIcon = {16, 16, 32, 32};
inline constexpr TPoint ProductName = {64, 16};  // bold
inline constexpr TPoint Version = {64, 40};
inline constexpr TPoint Copyright = {8, 80};
inline constexpr TPoint Comments = {8, 104};  // wraps its words
// The link is as wide as its text and right-aligned: its right edge stays here and a
// longer address grows to the left.
inline constexpr int WebSiteRight = 273;
inline constexpr int WebSiteTop = 136;
inline constexpr int WebSiteHeight = 13;
inline constexpr TRect WebSiteAtDesign = {232, 136, 41, 13};
// The notice's last line sits on its bottom edge, just above the support address.
inline constexpr TRect LabelNotice = {8, 168, 262, 57};
inline constexpr TRect EditSupport = {8, 236, 265, 21};

// The plain template, before the shown box changes it.
namespace plain {
inline constexpr int ClientHeight = 213;
inline constexpr TRect Panel = {8, 8, 281, 161};
inline constexpr TRect OKButton = {111, 180, 75, 25};
inline constexpr TRect ProgramIcon = {8, 8, 65, 57};
inline constexpr TPoint ProductName = {88, 16};
inline constexpr TPoint Version = {88, 40};
}  // namespace plain

// The box's text: "MS Sans Serif" 11 pixels high (8 points at 96 pixels an inch); the
// link is navy and underlined.
inline constexpr const char* FontFace = "MS Sans Serif";
inline constexpr int FontPixelHeight = 11;
inline constexpr unsigned char LinkRed = 0, LinkGreen = 0, LinkBlue = 128;

}  // namespace gridloom::about_layout
