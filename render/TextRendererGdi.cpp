// Label text through GDI, the Windows backend of TTextRenderer.
//
// The font is made with CreateFontIndirectA from the canvas font: height -PixelSize(size)
// (-MulDiv(size, 96, 72) for every ordinary size), bold or normal weight, italic, underline
// and strike-out as the style says, and NONANTIALIASED_QUALITY, since every pixel of the
// master image is one palette index. The cell is GetTextMetricsA's ascent and descent, the
// width GetTextExtentPoint32A's. A text is drawn by GDI in white on black into a 32-bit DIB
// section with a margin for overhanging glyphs, and every lit pixel becomes a pixel of the
// label colour on the canvas; underline and strike-out come from GDI with the glyphs. The
// lit pixels of each text are kept, so a label drawn a thousand times is rendered once.
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "platform/windows/WinApi.h"
#include "render/Bitmap.h"
#include "render/Color.h"
#include "render/TextRenderer.h"

namespace gridloom {

namespace {

struct TInk {
    int32_t X;  // from the left of the cell
    int32_t Y;  // from the top of the cell
};

struct TFace {
    HFONT Font = nullptr;
    TTextMetrics Metrics;
    int Overhang = 0;  // how far a glyph may reach beyond the cell, either side
    std::string FaceName;
    std::map<std::string, std::vector<TInk>, std::less<>> Images;
};

}  // namespace

struct TTextRenderer::TState {
    using TKey = std::tuple<std::string, int, TFontStyles>;  // name, pixels, style

    HDC FDC = nullptr;
    std::map<TKey, TFace> FFaces;
    std::size_t FRendered = 0;

    TFace& FaceFor(const TFont& font);
    int Extent(TFace& face, std::string_view text);
    const std::vector<TInk>& Image(TFace& face, std::string_view text);
};

TTextRenderer::TTextRenderer() : FState(std::make_unique<TState>()) { FState->FDC = ::CreateCompatibleDC(nullptr); }

TTextRenderer::~TTextRenderer() {
    for (auto& [key, face] : FState->FFaces)
        if (face.Font) ::DeleteObject(face.Font);
    if (FState->FDC) ::DeleteDC(FState->FDC);
}

TFace& TTextRenderer::TState::FaceFor(const TFont& font) {
    const int pixels = PixelSize(font.Size);
    const TFontStyles style = font.Style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    TKey key{font.Name, pixels, style};
    auto found = FFaces.find(key);
    if (found != FFaces.end()) return found->second;
    TFace& face = FFaces[std::move(key)];
    if (FDC == nullptr) return face;

    LOGFONTA description{};
    description.lfHeight = -pixels;
    description.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & fsItalic) ? TRUE : FALSE;
    description.lfUnderline = (style & fsUnderline) ? TRUE : FALSE;
    description.lfStrikeOut = (style & fsStrikeOut) ? TRUE : FALSE;
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
        face.Overhang = metrics.tmOverhang + metrics.tmHeight / 2;
    }
    char name[LF_FACESIZE] = {};
    const int length = ::GetTextFaceA(FDC, LF_FACESIZE, name);
    face.FaceName.assign(name, std::size_t(std::max(length - 1, 0)));
    return face;
}

int TTextRenderer::TState::Extent(TFace& face, std::string_view text) {
    if (face.Font == nullptr || text.empty()) return 0;
    ::SelectObject(FDC, face.Font);
    SIZE size{};
    // GDI takes counts as int; the labels are a few characters.
    const int count = int(std::min<std::size_t>(text.size(), INT_MAX));
    if (!::GetTextExtentPoint32A(FDC, text.data(), count, &size)) return 0;
    return std::max<int>(size.cx, 0);
}

const std::vector<TInk>& TTextRenderer::TState::Image(TFace& face, std::string_view text) {
    auto found = face.Images.find(text);
    if (found != face.Images.end()) return found->second;
    std::vector<TInk>& ink = face.Images[std::string(text)];
    ++FRendered;
    const int width = Extent(face, text);
    const int height = face.Metrics.Height();
    if (face.Font == nullptr || width <= 0 || height <= 0) return ink;

    const int margin = face.Overhang;
    const int dibWidth = width + 2 * margin;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = dibWidth;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr || bits == nullptr) return ink;
    const HGDIOBJ previous = ::SelectObject(FDC, dib);
    ::SelectObject(FDC, face.Font);
    std::memset(bits, 0, std::size_t(dibWidth) * std::size_t(height) * 4);
    ::SetBkMode(FDC, TRANSPARENT);
    ::SetTextColor(FDC, 0x00FFFFFF);  // white
    ::SetTextAlign(FDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::TextOutA(FDC, margin, 0, text.data(), int(text.size()));
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < dibWidth; ++x)
            if ((pixels[std::size_t(y) * std::size_t(dibWidth) + std::size_t(x)] & 0xFFFFFF) != 0)
                ink.push_back({x - margin, y});
    ::SelectObject(FDC, previous);
    ::DeleteObject(dib);
    return ink;
}

TTextMetrics TTextRenderer::Metrics(const TFont& font) {
    std::lock_guard lock(FMutex);
    return FState->FaceFor(font).Metrics;
}

int TTextRenderer::TextWidth(const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    return FState->Extent(FState->FaceFor(font), text);
}

void TTextRenderer::DrawText(TBitmap& bitmap, int32_t x, int32_t y, const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    const uint8_t index = PaletteIndexOf(font.Color);
    for (const TInk& dot : FState->Image(FState->FaceFor(font), text)) {
        const int64_t px = int64_t(x) + dot.X;
        const int64_t py = int64_t(y) + dot.Y;
        if (px >= 0 && py >= 0 && px < bitmap.Width() && py < bitmap.Height()) bitmap.ScanLine(int32_t(py))[px] = index;
    }
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
