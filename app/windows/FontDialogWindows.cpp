#include "app/windows/FontDialogWindows.h"

#include <algorithm>
#include <cstring>

namespace gridloom {

namespace {

int ScreenPixelsPerInch(HWND window) {
    HDC dc = GetDC(window);
    const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    return ppi > 0 ? ppi : 96;
}

}  // namespace

LOGFONTA ToLogFont(const TFont& font, int pixelsPerInch) {
    LOGFONTA lf{};
    if (font.Size > 0)
        lf.lfHeight = -MulDiv(font.Size, pixelsPerInch, 72);
    else if (font.Size < 0)
        lf.lfHeight = MulDiv(-font.Size, pixelsPerInch, 72);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::size_t length = std::min(font.Name.size(), sizeof lf.lfFaceName - 1);
    std::memcpy(lf.lfFaceName, font.Name.data(), length);
    lf.lfFaceName[length] = '\0';
    return lf;
}

TFont FromLogFont(const LOGFONTA& logFont, TColor colour, int pixelsPerInch, int pointTenths) {
    TFont font;
    font.Name = std::string(logFont.lfFaceName, strnlen(logFont.lfFaceName, sizeof logFont.lfFaceName));
    if (pointTenths > 0)
        font.Size = (pointTenths + 5) / 10;
    else if (logFont.lfHeight < 0)
        font.Size = MulDiv(-logFont.lfHeight, 72, pixelsPerInch);
    else if (logFont.lfHeight > 0)
        font.Size = -MulDiv(logFont.lfHeight, 72, pixelsPerInch);
    else
        font.Size = 0;
    font.Style = TFontStyles((logFont.lfWeight >= FW_BOLD ? fsBold : 0) | (logFont.lfItalic ? fsItalic : 0) |
                             (logFont.lfUnderline ? fsUnderline : 0) | (logFont.lfStrikeOut ? fsStrikeOut : 0));
    font.Color = colour;
    return font;
}

bool ExecuteFontDialog(HWND owner, TFont& font) {
    const int ppi = ScreenPixelsPerInch(owner);
    LOGFONTA lf = ToLogFont(font, ppi);
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpLogFont = &lf;
    choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_FORCEFONTEXIST | CF_INITTOLOGFONTSTRUCT;
    choose.rgbColors = font.Color & 0xFFFFFFu;
    if (!ChooseFontA(&choose)) return false;
    font = FromLogFont(lf, TColor(choose.rgbColors), ppi, choose.iPointSize);
    return true;
}

}  // namespace gridloom
