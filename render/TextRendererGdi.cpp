// Label text through GDI, the Windows backend of TTextRenderer.
//
// The font is made with CreateFontIndirectA from the canvas font: height -PixelSize(size)
// (-MulDiv(size, 96, 72) for every ordinary size), bold or normal weight, italic as the
// style says, and NONANTIALIASED_QUALITY, since every pixel of the master image is one
// palette index. The cell is GetTextMetricsA's ascent and descent; a text is as wide as
// GetTextExtentPoint32A measures its characters (GDI does not kern). Each character is
// drawn once by GDI, white on black, into a 32-bit DIB section with a margin for
// overhanging glyphs; its lit pixels are kept and become pixels of the label colour wherever
// the character is written. Within a text the characters stand as one TextOut sets them: a
// glyph's cell increment from GetGlyphOutlineA, which is not always the width GDI measures.
//
// Underline and strike-out are the rows GDI itself draws them on: found once per font by
// drawing a space in the underlined and in the struck-out font, and filled across the
// text's width.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "platform/windows/WinApi.h"
#include "render/Bitmap.h"
#include "render/Color.h"
#include "render/TextLines.h"
#include "render/TextRenderer.h"

namespace gridloom {

namespace {

struct TInk {
    int32_t X;  // from the pen position
    int32_t Y;  // from the top of the cell
};

struct TGlyph {
    bool Loaded = false;
    int Advance = 0;      // what the text's width counts
    int DrawAdvance = 0;  // how far on the next character is drawn
    std::vector<TInk> Ink;
};

struct TFace {
    HFONT Font = nullptr;
    TTextMetrics Metrics;
    int Margin = 0;  // how far a glyph may reach beyond its advance, either side
    TTextLines Lines;
    std::string FaceName;
    std::array<TGlyph, 256> Glyphs;
};

struct TLineRows {
    int First = 0;  // from the top of the cell; may lie outside it
    int Count = 0;
};

// The pixels GDI lights when it draws text white on black with its top-left corner at
// (x, y) of a field width x height, in the font selected into dc: row after row, top down.
// Empty when GDI cannot make the field.
std::vector<bool> LitPixels(HDC dc, int width, int height, int x, int y, const char* text, int length) {
    std::vector<bool> lit;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP dib = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr) return lit;
    if (bits != nullptr) {
        const HGDIOBJ previous = ::SelectObject(dc, dib);
        const std::size_t count = std::size_t(width) * std::size_t(height);
        std::memset(bits, 0, count * 4);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, 0x00FFFFFF);  // white
        ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        ::TextOutA(dc, x, y, text, length);
        ::GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        lit.resize(count);
        for (std::size_t i = 0; i < count; ++i) lit[i] = (pixels[i] & 0xFFFFFF) != 0;
        ::SelectObject(dc, previous);
    }
    ::DeleteObject(dib);
    return lit;
}

// The rows on which GDI draws the line of an underlined or struck-out font: the first run
// of rows lit across the whole width of a space, which has no ink of its own.
TLineRows LineRows(HDC dc, const LOGFONTA& description, const TTextMetrics& cell) {
    TLineRows found;
    const HFONT font = ::CreateFontIndirectA(&description);
    if (font == nullptr) return found;
    ::SelectObject(dc, font);
    SIZE size{};
    const int margin = cell.Height() + 4;  // a line may lie beyond the cell
    const int height = cell.Height() + 2 * margin;
    if (::GetTextExtentPoint32A(dc, " ", 1, &size) && size.cx > 0 && height > 0) {
        const int width = size.cx;
        const std::vector<bool> lit = LitPixels(dc, width, height, 0, margin, " ", 1);
        for (int y = 0; y < height && !lit.empty(); ++y) {
            bool row = true;
            for (int x = 0; x < width && row; ++x) row = lit[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            if (row && found.Count == 0) found.First = y - margin;
            if (row) ++found.Count;
            if (!row && found.Count > 0) break;
        }
    }
    ::DeleteObject(font);
    return found;
}

}  // namespace

struct TTextRenderer::TState {
    using TKey = std::tuple<std::string, int, bool, bool>;  // name, pixels, bold, italic

    HDC FDC = nullptr;
    std::map<TKey, TFace> FFaces;
    std::size_t FRendered = 0;

    TFace& FaceFor(const TFont& font);
    TGlyph& Glyph(TFace& face, unsigned char c);
};

TTextRenderer::TTextRenderer() : FState(std::make_unique<TState>()) { FState->FDC = ::CreateCompatibleDC(nullptr); }

TTextRenderer::~TTextRenderer() {
    for (auto& [key, face] : FState->FFaces)
        if (face.Font) ::DeleteObject(face.Font);
    if (FState->FDC) ::DeleteDC(FState->FDC);
}

TFace& TTextRenderer::TState::FaceFor(const TFont& font) {
    const int pixels = PixelSize(font.Size);
    const bool bold = font.Style & fsBold;
    const bool italic = font.Style & fsItalic;
    TKey key{font.Name, pixels, bold, italic};
    auto found = FFaces.find(key);
    if (found != FFaces.end()) return found->second;
    TFace& face = FFaces[std::move(key)];
    if (FDC == nullptr) return face;

    LOGFONTA description{};
    description.lfHeight = -pixels;
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = italic ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = NONANTIALIASED_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // A longer name than the field holds is cut, as Windows itself would cut it.
    font.Name.copy(description.lfFaceName, LF_FACESIZE - 1);
    face.Font = ::CreateFontIndirectA(&description);
    if (face.Font == nullptr) return face;

    ::SelectObject(FDC, face.Font);
    TEXTMETRICA metrics{};
    if (::GetTextMetricsA(FDC, &metrics)) {
        face.Metrics.Ascent = metrics.tmAscent;
        face.Metrics.Descent = metrics.tmDescent;
        face.Margin = metrics.tmOverhang + metrics.tmHeight / 2;
        // Where the font does not say, the lines lie as Windows' own defaults put them.
        face.Lines.UnderlineTop = std::max<int>(1, metrics.tmDescent / 2);
        face.Lines.StrikeTop = metrics.tmAscent / 3;
    }
    LOGFONTA lined = description;
    lined.lfUnderline = TRUE;
    if (const TLineRows rows = LineRows(FDC, lined, face.Metrics); rows.Count > 0) {
        face.Lines.UnderlineTop = rows.First - face.Metrics.Ascent;
        face.Lines.UnderlineThickness = rows.Count;
    }
    lined.lfUnderline = FALSE;
    lined.lfStrikeOut = TRUE;
    if (const TLineRows rows = LineRows(FDC, lined, face.Metrics); rows.Count > 0) {
        face.Lines.StrikeTop = face.Metrics.Ascent - rows.First;
        face.Lines.StrikeThickness = rows.Count;
    }
    ::SelectObject(FDC, face.Font);
    char name[LF_FACESIZE] = {};
    if (::GetTextFaceA(FDC, LF_FACESIZE, name) > 0) face.FaceName.assign(name, strnlen(name, LF_FACESIZE));
    return face;
}

TGlyph& TTextRenderer::TState::Glyph(TFace& face, unsigned char c) {
    TGlyph& glyph = face.Glyphs[c];
    if (glyph.Loaded) return glyph;
    glyph.Loaded = true;
    ++FRendered;
    if (face.Font == nullptr) return glyph;
    ::SelectObject(FDC, face.Font);
    const char text = char(c);
    SIZE size{};
    if (!::GetTextExtentPoint32A(FDC, &text, 1, &size)) return glyph;
    glyph.Advance = std::max<int>(size.cx, 0);
    glyph.DrawAdvance = glyph.Advance;
    GLYPHMETRICS placed{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    if (::GetGlyphOutlineA(FDC, c, GGO_BITMAP, &placed, 0, nullptr, &identity) != GDI_ERROR)
        glyph.DrawAdvance = placed.gmCellIncX;
    const int height = face.Metrics.Height();
    const int width = glyph.Advance + 2 * face.Margin;
    if (height <= 0 || width <= 0) return glyph;

    const std::vector<bool> lit = LitPixels(FDC, width, height, face.Margin, 0, &text, 1);
    for (int y = 0; y < height && !lit.empty(); ++y)
        for (int x = 0; x < width; ++x)
            if (lit[std::size_t(y) * std::size_t(width) + std::size_t(x)]) glyph.Ink.push_back({x - face.Margin, y});
    return glyph;
}

TTextMetrics TTextRenderer::Metrics(const TFont& font) {
    std::lock_guard lock(FMutex);
    return FState->FaceFor(font).Metrics;
}

int TTextRenderer::TextWidth(const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    TFace& face = FState->FaceFor(font);
    int64_t width = 0;
    for (unsigned char c : text) width += FState->Glyph(face, c).Advance;
    return int(std::clamp<int64_t>(width, 0, INT_MAX));
}

void TTextRenderer::DrawText(TBitmap& bitmap, int32_t x, int32_t y, const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    TFace& face = FState->FaceFor(font);
    if (face.Font == nullptr) return;
    const uint8_t index = PaletteIndexOf(font.Color);
    int64_t pen = x;
    int64_t width = 0;  // the lines span the text's width, not its pen travel
    for (unsigned char c : text) {
        const TGlyph& glyph = FState->Glyph(face, c);
        for (const TInk& dot : glyph.Ink) {
            const int64_t px = pen + dot.X;
            const int64_t py = int64_t(y) + dot.Y;
            if (px >= 0 && py >= 0 && px < bitmap.Width() && py < bitmap.Height())
                bitmap.ScanLine(int32_t(py))[px] = index;
        }
        pen += glyph.DrawAdvance;
        width += glyph.Advance;
    }
    const int64_t baseline = int64_t(y) + face.Metrics.Ascent;
    DrawTextLines(bitmap, x, x + width, baseline, font.Style, face.Lines, index);
}

std::size_t TTextRenderer::RenderedGlyphCount() const {
    std::lock_guard lock(FMutex);
    return FState->FRendered;
}

std::string TTextRenderer::FaceFile(const TFont& font) {
    std::lock_guard lock(FMutex);
    return FState->FaceFor(font).FaceName;
}

}  // namespace gridloom
