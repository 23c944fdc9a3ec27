#include "app/windows/DialogFont.h"

namespace gridloom {

namespace {

int SystemDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

// GetDpiForWindow exists from Windows 10 (1607) on; looked up so the program still starts
// on older systems.
using TGetDpiForWindow = UINT(WINAPI*)(HWND);

TGetDpiForWindow GetDpiForWindowFunction() {
    static const auto function = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        FARPROC found = user ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<TGetDpiForWindow>(reinterpret_cast<void (*)()>(found));
    }();
    return function;
}

}  // namespace

int WindowDpi(HWND window) {
    if (TGetDpiForWindow get = GetDpiForWindowFunction(); get && window)
        if (const UINT dpi = get(window); dpi > 0) return int(dpi);
    return SystemDpi();
}

HFONT CreateDialogFont(int monitorDpi) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf = metrics.lfMessageFont;
    const int systemDpi = SystemDpi();
    if (monitorDpi > 0 && monitorDpi != systemDpi) lf.lfHeight = MulDiv(lf.lfHeight, monitorDpi, systemDpi);
    HFONT font = CreateFontIndirectA(&lf);
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontTextHeight(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    if (!dc) return 13;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight > 0 ? int(metrics.tmHeight) : 13;
}

}  // namespace gridloom
