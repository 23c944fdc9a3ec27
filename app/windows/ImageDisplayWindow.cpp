#include "app/windows/ImageDisplayWindow.h"

#include <algorithm>

#include "platform/windows/WindowOwner.h"
#include "render/Color.h"

namespace gridloom {

namespace {

constexpr const char* ClassName = "GridloomScrollBox";
constexpr int LineStep = 16;  // pixels an arrow of a scroll bar moves the view

void RegisterClassOnce(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;  // replaced by the instance's procedure at creation
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    registered = RegisterClassExA(&wc) != 0;
}

// The DIB header of rows of screen pixels, top row first.
BITMAPINFOHEADER ScreenPixelsHeader(int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    return h;
}

// The master image's own form for the system: 8-bit rows, top row first, over the
// default palette.
struct TPaletteBitmapInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colours[256];
};

TPaletteBitmapInfo PaletteHeader(int width, int height) {
    TPaletteBitmapInfo info{};
    info.Header.biSize = sizeof info.Header;
    info.Header.biWidth = width;
    info.Header.biHeight = -height;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = 8;
    info.Header.biCompression = BI_RGB;
    info.Header.biClrUsed = 256;
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        const TColor c = DefaultPalette[i];
        info.Colours[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    return info;
}

RECT Intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{0, 0, 0, 0};
    return r;
}

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

TImageDisplayWindow::TImageDisplayWindow(HWND parent, int id, HINSTANCE instance) {
    RegisterClassOnce(instance);
    FWindow = CreateWindowExA(WS_EX_CLIENTEDGE, ClassName, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0,
                              100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!FWindow) return;
    AttachOwner(FWindow, this);
    UpdateScrollBars();
}

TImageDisplayWindow::~TImageDisplayWindow() {
    if (FWindow && IsWindow(FWindow)) {
        SetWindowLongPtrA(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
    }
}

TBitmap& TImageDisplayWindow::NewPicture() {
    FPicture = std::make_unique<TBitmap>();
    if (FWindow) InvalidateRect(FWindow, nullptr, FALSE);
    return *FPicture;
}

void TImageDisplayWindow::SetStretch(bool stretch) {
    if (FStretch == stretch) return;
    FStretch = stretch;
    if (FWindow) InvalidateRect(FWindow, nullptr, FALSE);
}

void TImageDisplayWindow::SetDisplaySize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FDisplayWidth && height == FDisplayHeight) return;
    FDisplayWidth = width;
    FDisplayHeight = height;
    UpdateScrollBars();
    // A stretched picture is scaled anew to the new size; at full size the pixels on the
    // screen stay where they are.
    if (FWindow) InvalidateRect(FWindow, nullptr, FALSE);
}

void TImageDisplayWindow::SetScrollBarsInUse(bool inUse) {
    FScrollBarsInUse = inUse;
    UpdateScrollBars();
}

void TImageDisplayWindow::Repaint() {
    if (!FWindow) return;
    InvalidateRect(FWindow, nullptr, FALSE);
    UpdateWindow(FWindow);
}

void TImageDisplayWindow::UpdateScrollBars() {
    if (!FWindow) return;
    // Setting the bars changes the client size, which comes back here through WM_SIZE.
    static thread_local bool busy = false;
    if (busy) return;
    busy = true;
    RECT outer{};
    GetWindowRect(FWindow, &outer);
    const int innerWidth = int(outer.right - outer.left) - 2 * GetSystemMetrics(SM_CXEDGE);
    const int innerHeight = int(outer.bottom - outer.top) - 2 * GetSystemMetrics(SM_CYEDGE);
    bool horizontal = false;
    bool vertical = false;
    if (FScrollBarsInUse) {
        // Each bar takes room from the other direction, so a second look settles it.
        for (int pass = 0; pass < 2; ++pass) {
            horizontal = FDisplayWidth > innerWidth - (vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0);
            vertical = FDisplayHeight > innerHeight - (horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0);
        }
    }
    const int clientWidth = std::max(innerWidth - (vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0), 0);
    const int clientHeight = std::max(innerHeight - (horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0), 0);
    const int x = horizontal ? std::clamp(FScrollX, 0, FDisplayWidth - clientWidth) : 0;
    const int y = vertical ? std::clamp(FScrollY, 0, FDisplayHeight - clientHeight) : 0;
    if (x != FScrollX || y != FScrollY) {
        FScrollX = x;
        FScrollY = y;
        InvalidateRect(FWindow, nullptr, FALSE);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = horizontal ? FDisplayWidth - 1 : 0;
    info.nPage = horizontal ? UINT(clientWidth) : 0;
    info.nPos = FScrollX;
    SetScrollInfo(FWindow, SB_HORZ, &info, TRUE);
    ShowScrollBar(FWindow, SB_HORZ, horizontal);
    info.nMax = vertical ? FDisplayHeight - 1 : 0;
    info.nPage = vertical ? UINT(clientHeight) : 0;
    info.nPos = FScrollY;
    SetScrollInfo(FWindow, SB_VERT, &info, TRUE);
    ShowScrollBar(FWindow, SB_VERT, vertical);
    busy = false;
}

void TImageDisplayWindow::ScrollTo(int x, int y) {
    RECT client{};
    GetClientRect(FWindow, &client);
    x = std::clamp(x, 0, std::max(FDisplayWidth - int(client.right), 0));
    y = std::clamp(y, 0, std::max(FDisplayHeight - int(client.bottom), 0));
    if (x == FScrollX && y == FScrollY) return;
    const int dx = FScrollX - x;
    const int dy = FScrollY - y;
    FScrollX = x;
    FScrollY = y;
    SetScrollPos(FWindow, SB_HORZ, x, TRUE);
    SetScrollPos(FWindow, SB_VERT, y, TRUE);
    // What stays in view is moved on the screen; only the strip that comes into view is
    // painted, and so converted.
    ScrollWindowEx(FWindow, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(FWindow);
}

void TImageDisplayWindow::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(FWindow, bar, &info)) return;
    const int page = std::max(int(info.nPage), 1);
    const int last = std::max(info.nMax - page + 1, 0);
    int position = bar == SB_HORZ ? FScrollX : FScrollY;
    switch (request) {
    case SB_LINEUP: position -= LineStep; break;
    case SB_LINEDOWN: position += LineStep; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;  // the whole 32-bit position
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = last; break;
    default: return;
    }
    position = std::clamp(position, 0, last);
    if (bar == SB_HORZ)
        ScrollTo(position, FScrollY);
    else
        ScrollTo(FScrollX, position);
}

void TImageDisplayWindow::Paint(HDC dc, const RECT& area) {
    RECT picture{-FScrollX, -FScrollY, FDisplayWidth - FScrollX, FDisplayHeight - FScrollY};
    if (!FPicture || FPicture->Width() <= 0 || FPicture->Height() <= 0) picture = RECT{0, 0, 0, 0};
    // At full size the picture may be smaller than the display control.
    if (!FStretch && !Empty(picture)) {
        picture.right = std::min(picture.right, LONG(FPicture->Width() - FScrollX));
        picture.bottom = std::min(picture.bottom, LONG(FPicture->Height() - FScrollY));
    }
    const RECT part = Intersection(area, picture);
    const int saved = SaveDC(dc);
    if (!Empty(part)) {
        PaintPicture(dc, part);
        ExcludeClipRect(dc, part.left, part.top, part.right, part.bottom);
    }
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, saved);
}

void TImageDisplayWindow::PaintPicture(HDC dc, const RECT& part) {
    const int width = int(part.right - part.left);
    const int height = int(part.bottom - part.top);
    // The part in the display control's own coordinates.
    const TPixelRect inDisplay{int(part.left) + FScrollX, int(part.top) + FScrollY, int(part.right) + FScrollX,
                               int(part.bottom) + FScrollY};
    FConverted += uint64_t(width) * uint64_t(height);
    if (!FStretch && FPicture->Width() % 4 == 0) {
        // Rows of the picture are whole DIB rows: the system reads the part straight from
        // the picture's pixels.
        const TPaletteBitmapInfo info = PaletteHeader(FPicture->Width(), height);
        SetDIBitsToDevice(dc, part.left, part.top, DWORD(width), DWORD(height), inDisplay.Left, 0, 0, UINT(height),
                          FPicture->ScanLine(inDisplay.Top), reinterpret_cast<const BITMAPINFO*>(&info),
                          DIB_RGB_COLORS);
        return;
    }
    FBuffer.resize(std::size_t(width) * std::size_t(height));
    if (FStretch)
        FScaler.Scale(*FPicture, FDisplayWidth, FDisplayHeight, inDisplay, FBuffer.data(), width);
    else
        CopyPixels(*FPicture, inDisplay, FBuffer.data(), width);
    const BITMAPINFOHEADER header = ScreenPixelsHeader(width, height);
    SetDIBitsToDevice(dc, part.left, part.top, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), FBuffer.data(),
                      reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
}

LRESULT TImageDisplayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // every pixel is painted by WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FWindow, &ps);
        if (dc) Paint(dc, ps.rcPaint);
        EndPaint(FWindow, &ps);
        return 0;
    }
    case WM_SIZE: UpdateScrollBars(); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        if (!FScrollBarsInUse) return 0;
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        ScrollTo(FScrollX, FScrollY - notches * 3 * LineStep);
        return 0;
    }
    default: return DefWindowProcA(FWindow, message, wParam, lParam);
    }
}

}  // namespace gridloom
