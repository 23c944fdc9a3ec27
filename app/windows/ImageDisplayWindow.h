// The scroll box and its image display as one child window: a sunken panel with two
// scroll bars that shows the master image, painting straight from the bitmap's own 8-bit
// pixels and palette. There is no second copy of the picture, so whatever a run draws
// shows at the next repaint.
//
// The display control is a rectangle of the panel's contents, at the panel's top-left
// corner, sized by its owner (SetDisplaySize); outside it the panel shows its background.
// Stretch on: the whole picture scaled into that rectangle, aspect ratio not kept, each
// screen pixel the average of the image area it covers (render/AreaScaler.h), as the
// Linux window shows it. (GDI's own HALFTONE stretch is not used: under Wine it samples
// rather than averages, so thin lines come and go with the window's size, and it takes about
// ten times as long.) Stretch off: one image pixel per screen pixel, handed to the system
// as the 8-bit picture itself.
//
// With the scroll bars in use, each appears when the display is larger than the panel's
// inside; the view follows a thumb while it is dragged, and a scroll moves what is on the
// screen and converts only the strip it exposes. Out of use, the bars are hidden and the
// view is at the origin.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/windows/WindowsApi.h"
#include "render/AreaScaler.h"
#include "render/Bitmap.h"

namespace gridloom {

class TImageDisplayWindow {
public:
    // Creates the panel as a child of parent with the given control id.
    TImageDisplayWindow(HWND parent, int id, HINSTANCE instance);
    ~TImageDisplayWindow();
    TImageDisplayWindow(const TImageDisplayWindow&) = delete;
    TImageDisplayWindow& operator=(const TImageDisplayWindow&) = delete;

    HWND Handle() const { return FWindow; }

    // A new, empty bitmap as the picture (dropping any earlier one); the display owns it.
    TBitmap& NewPicture();
    TBitmap* Picture() const { return FPicture.get(); }

    void SetStretch(bool stretch);
    void SetDisplaySize(int width, int height);
    void SetScrollBarsInUse(bool inUse);
    // Repaints now, from the picture's current pixels.
    void Repaint();

    int ScrollX() const { return FScrollX; }
    int ScrollY() const { return FScrollY; }
    // Screen pixels converted from the picture by repaints so far.
    uint64_t ConvertedPixels() const { return FConverted; }
    // Paints the part `area` (client coordinates) into dc, as a repaint does.
    void Paint(HDC dc, const RECT& area);

    // Every message of the window, from its window procedure (platform/windows/WindowOwner.h).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void OnScroll(int bar, int request);
    void PaintPicture(HDC dc, const RECT& part);

    HWND FWindow = nullptr;
    std::unique_ptr<TBitmap> FPicture;
    bool FStretch = true;
    int FDisplayWidth = 481;
    int FDisplayHeight = 193;
    bool FScrollBarsInUse = false;
    int FScrollX = 0;
    int FScrollY = 0;
    TAreaScaler FScaler;
    std::vector<uint32_t> FBuffer;  // screen pixels of the area being painted
    uint64_t FConverted = 0;
};

}  // namespace gridloom
