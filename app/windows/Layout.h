// Where the main window's controls sit: their design rectangles in the client area of the
// design size, and where the window's size moves them.
//
// Below the scroll box everything keeps its left coordinate and its distance from the
// bottom edge; the scroll box grows and shrinks with the window; the status bar spans the
// bottom. The controls of the options group are given relative to the group and move with
// it. Nothing here calls the system, so the geometry can be checked anywhere.
#pragma once

namespace gridloom {

struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TRect&) const = default;
};

namespace Design {

inline constexpr int ClientWidth = 760;
inline constexpr int ClientHeight = 588;
// The outer size the window was designed with, and the smallest it may be made.
inline constexpr int OuterWidth = 768;
inline constexpr int OuterHeight = 622;
inline constexpr int MinimumOuterWidth = 631;
inline constexpr int MinimumOuterHeight = 508;

// On the window.
inline constexpr TRect ScrollBox{12, 10, 732, 375};
inline constexpr TRect RadioGroupGrid{8, 398, 139, 163};
inline constexpr TRect GroupBoxOptions{168, 398, 448, 98};
inline constexpr TRect ButtonMake{168, 520, 139, 31};
inline constexpr TRect LabelProgress{364, 525, 55, 16};
inline constexpr TRect ProgressBar{432, 526, 168, 21};
inline constexpr TRect ButtonZoom{640, 406, 112, 30};
inline constexpr TRect ButtonAbout{640, 462, 112, 31};
inline constexpr TRect ButtonClose{640, 518, 112, 31};
inline constexpr int StatusBarHeight = 23;

// Inside GroupBoxOptions.
inline constexpr TRect CheckBoxShowScale{16, 24, 177, 20};
inline constexpr TRect CheckBoxShowBoundaries{16, 48, 177, 20};
inline constexpr TRect CheckBoxGridOnTop{16, 72, 177, 20};
inline constexpr TRect ButtonFont{200, 39, 90, 31};
inline constexpr TRect EditGridlineWidth{320, 20, 31, 24};
inline constexpr TRect UpDownGridlineWidth{351, 20, 18, 24};
inline constexpr TRect LabelGridlineWidth{376, 17, 49, 32};
inline constexpr TRect EditBoundaryWidth{320, 59, 31, 24};
inline constexpr TRect UpDownBoundaryWidth{351, 59, 18, 24};
inline constexpr TRect LabelBoundaryLineWidth{376, 59, 61, 32};

}  // namespace Design

// The scroll box at a client size: it keeps its margins to every edge.
TRect ScrollBoxRect(int clientWidth, int clientHeight);
// A control anchored to the left and bottom edges, from its design rectangle.
TRect AnchoredRect(const TRect& design, int clientHeight);
// A control of the options group, from its design rectangle inside the group, in client
// coordinates.
TRect InOptionsGroup(const TRect& design, int clientHeight);
// The status bar: the whole width, along the bottom.
TRect StatusBarRect(int clientWidth, int clientHeight);

// Item `index` of `count` radio buttons in a one-column radio group at `group` (client
// coordinates): the buttons share what the frame leaves below its caption equally, one
// above the other, whatever is left over split above and below them.
TRect RadioItemRect(const TRect& group, int index, int count, int textHeight);

}  // namespace gridloom
