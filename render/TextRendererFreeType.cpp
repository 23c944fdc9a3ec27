#include "render/TextRenderer.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_OUTLINE_H

#include "render/Bitmap.h"
#include "render/Color.h"
#include "render/TextLines.h"

namespace gridloom {

namespace {

int RoundPixels(FT_Pos v26_6) { return int((v26_6 + 32) >> 6); }

// Far beyond any glyph of a 400-pixel em, even slanted and emboldened: an outline that
// claims more is broken and draws nothing.
constexpr FT_Pos MaxGlyphPixels = 4096;

// The face GDI falls back on for a name the system does not know.
constexpr const char* DefaultFamily = "Arial";

struct TGlyph {
    bool Loaded = false;
    int Advance = 0;      // pixels the text's width counts
    int DrawAdvance = 0;  // pixels the next glyph is drawn further on
    int Left = 0;         // from the pen position to the image's first column
    int Top = 0;          // from the baseline up to the image's first row
    int Width = 0;
    int Rows = 0;
    std::vector<uint8_t> Ink;  // Rows x Width, 1 where the glyph is inked
};

}  // namespace

namespace {
struct TFace {
    FT_Face Face = nullptr;
    // Advances are measured on a size object of their own: a TrueType size re-runs the
    // font's set-up program whenever its loads switch between ordinary and one-bit
    // hinting, which alternating on one size would do for every glyph.
    FT_Size DrawSize = nullptr;
    FT_Size MeasureSize = nullptr;
    std::string File;
    bool Embolden = false;  // bold asked for, only a regular face found
    bool Oblique = false;   // italic asked for, only an upright face found
    TTextMetrics Metrics;
    TTextLines Lines;
    std::array<TGlyph, 256> Glyphs;
};
}  // namespace

// The FreeType library, fontconfig's configuration and the faces opened so far.
struct TTextRenderer::TState {
    using TKey = std::tuple<std::string, int, bool, bool>;  // name, pixels, bold, italic

    void* FLibrary = nullptr;  // FT_Library
    void* FConfig = nullptr;   // FcConfig*
    std::map<TKey, std::unique_ptr<TFace>> FFaces;
    std::size_t FRendered = 0;
    TFace* FLast = nullptr;  // the face of the font asked for last
    std::string FLastName;
    int FLastPixels = 0;
    bool FLastBold = false;
    bool FLastItalic = false;

    TFace& FaceFor(const TFont& font);
    std::unique_ptr<TFace> OpenFont(const std::string& name, int pixels, bool bold, bool italic);
};

TTextRenderer::TTextRenderer() : FState(std::make_unique<TState>()) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) FState->FLibrary = library;
    FState->FConfig = FcInitLoadConfigAndFonts();
}

TTextRenderer::~TTextRenderer() {
    for (auto& [key, face] : FState->FFaces)
        if (face->Face) FT_Done_Face(face->Face);
    if (FState->FLibrary) FT_Done_FreeType(static_cast<FT_Library>(FState->FLibrary));
    if (FState->FConfig) FcConfigDestroy(static_cast<FcConfig*>(FState->FConfig));
}

namespace {

// Sets the face's active size object to the pixel size; false when it cannot be.
bool SetSize(FT_Face face, int pixels) {
    bool sized = FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) == 0;
    if (!sized && face->num_fixed_sizes > 0)
        sized = FT_Select_Size(face, 0) == 0;  // a bitmap font offers only what it has
    return sized;
}

// Opens the face at file/index at the pixel size; null when FreeType cannot use it.
FT_Face OpenFace(FT_Library library, const char* file, int index, int pixels) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file, index, &face) != 0) return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);  // symbol fonts keep their own map
    if (!SetSize(face, pixels)) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// Family names compare as fontconfig compares them: blanks and ASCII case do not count.
bool SameFamily(const FcChar8* a, const FcChar8* b) {
    auto folded = [](const FcChar8* s) {
        std::string f;
        for (; *s; ++s)
            if (*s != ' ') f += char(*s >= 'A' && *s <= 'Z' ? *s - 'A' + 'a' : *s);
        return f;
    };
    return folded(a) == folded(b);
}

// Whether fontconfig's match answers the name itself: the face bears the name, or a name
// fontconfig binds strongly to it (its metric twins, such as Liberation Serif for "Times New
// Roman"), rather than being a default fontconfig falls back on for a name it does not know.
bool MatchAnswersName(const FcPattern* pattern, const FcPattern* match) {
    FcPatternIter wanted;
    if (!FcPatternFindIter(pattern, &wanted, FC_FAMILY)) return false;
    const int count = FcPatternIterValueCount(pattern, &wanted);
    for (int i = 0; i < count; ++i) {
        FcValue value{};
        FcValueBinding binding = FcValueBindingWeak;
        if (FcPatternIterGetValue(pattern, &wanted, i, &value, &binding) != FcResultMatch) continue;
        if (value.type != FcTypeString || binding == FcValueBindingWeak) continue;
        FcChar8* family = nullptr;
        for (int j = 0; FcPatternGetString(match, FC_FAMILY, j, &family) == FcResultMatch; ++j)
            if (family && SameFamily(family, value.u.s)) return true;
    }
    return false;
}

struct TCandidates {
    std::vector<std::pair<std::string, int>> Files;  // file and face index, best first
    bool NameKnown = false;                          // the best answers the name itself
};

// Candidate files, best first: the match for the pattern and, with everything, all that
// fontconfig sorts after it, so a face that fails to load gives way to the next one.
TCandidates Candidates(FcConfig* config, const std::string& family, bool bold, bool italic, bool everything) {
    TCandidates candidates;
    auto& files = candidates.Files;
    if (!config) return candidates;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return candidates;
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    auto add = [&](FcPattern* font) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        files.emplace_back(reinterpret_cast<const char*>(file), index);
    };
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        candidates.NameKnown = !family.empty() && MatchAnswersName(pattern, match);
        add(match);
        FcPatternDestroy(match);
    }
    FcFontSet* sorted = everything ? FcFontSort(config, pattern, FcFalse, nullptr, &result) : nullptr;
    if (sorted) {
        for (int i = 0; i < sorted->nfont; ++i) add(sorted->fonts[i]);
        FcFontSetDestroy(sorted);
    }
    FcPatternDestroy(pattern);
    return candidates;
}

void MeasureFace(FT_Face face, int pixels, TTextMetrics& metrics, int& underlineTop, int& underlineThickness,
                 int& strikeTop, int& strikeThickness) {
    const FT_Size_Metrics& m = face->size->metrics;
    metrics.Ascent = std::max(0, RoundPixels(m.ascender));
    metrics.Descent = std::max(0, RoundPixels(-m.descender));
    // The cell of a scalable font is the one Windows gives it: the OS/2 table's Windows
    // ascent and descent, each scaled to the size and rounded on its own. The size
    // metrics above, FreeType's own reading of the font, stand in where there is no table.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (FT_IS_SCALABLE(face) && os2 && os2->version != 0xFFFF && face->units_per_EM > 0 &&
        os2->usWinAscent + os2->usWinDescent > 0) {
        const int64_t em = face->units_per_EM;
        auto scaled = [&](int64_t units) { return int((2 * units * pixels + em) / (2 * em)); };
        metrics.Ascent = scaled(os2->usWinAscent);
        metrics.Descent = scaled(os2->usWinDescent);
    }

    // Sensible places for fonts that do not say: a line of about a fifteenth of the em,
    // halfway down the descent; the stroke a third of the ascent up.
    underlineThickness = std::max(1, (pixels + 7) / 15);
    int underlineCentre = std::max(1, metrics.Descent / 2);
    strikeThickness = underlineThickness;
    int strikeCentre = metrics.Ascent / 3;

    // Font units to pixels, rounded half up; negative values too.
    const int64_t em = std::max<int64_t>(1, face->units_per_EM);
    auto toPixels = [&](int64_t units) {
        const int64_t twice = 2 * units * pixels + em, whole = 2 * em;
        return int(twice >= 0 ? twice / whole : -((-twice + whole - 1) / whole));
    };
    // GDI reads the post table's underline position as the line's centre (the table means
    // its top) and the OS/2 strikeout position as the stroke's centre, and lets either line
    // reach across the baseline.
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    if (FT_IS_SCALABLE(face) && post && post->underlineThickness > 0) {
        underlineThickness = std::max(1, toPixels(post->underlineThickness));
        underlineCentre = toPixels(-int64_t(post->underlinePosition));
    } else if (FT_IS_SCALABLE(face) && face->underline_thickness > 0) {
        underlineThickness = std::max(1, toPixels(face->underline_thickness));
        underlineCentre = toPixels(-int64_t(face->underline_position));
    }
    underlineTop = underlineCentre - underlineThickness / 2;
    if (FT_IS_SCALABLE(face) && os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        strikeThickness = std::max(1, toPixels(os2->yStrikeoutSize));
        strikeCentre = toPixels(os2->yStrikeoutPosition);
    }
    strikeTop = strikeCentre + strikeThickness / 2;
}

// Keeps the lit pixels of a one-bit or grey image whose top-left pixel lies left columns
// right of the pen and top rows above the baseline.
void CopyInk(const FT_Bitmap& bm, int left, int top, TGlyph& glyph) {
    if (bm.pixel_mode != FT_PIXEL_MODE_MONO && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    glyph.Left = left;
    glyph.Top = top;
    glyph.Width = int(bm.width);
    glyph.Rows = int(bm.rows);
    glyph.Ink.assign(std::size_t(glyph.Width) * std::size_t(glyph.Rows), 0);
    const int pitch = std::abs(bm.pitch);
    for (int r = 0; r < glyph.Rows; ++r) {
        // A negative pitch stores the rows bottom up.
        const unsigned char* row = bm.buffer + std::size_t(bm.pitch >= 0 ? r : glyph.Rows - 1 - r) * pitch;
        for (int c = 0; c < glyph.Width; ++c) {
            const bool ink = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1 : row[c] >= 128;
            glyph.Ink[std::size_t(r) * glyph.Width + c] = ink;
        }
    }
}

void LoadGlyph(FT_Face face, FT_Size drawSize, FT_Size measureSize, bool embolden, bool oblique, unsigned char byte,
               TGlyph& glyph) {
    glyph.Loaded = true;
    const FT_UInt index = FT_Get_Char_Index(face, Windows1252ToUnicode(byte));
    FT_GlyphSlot slot = face->glyph;
    // A text measures as Windows measures it: by the advances of an ordinary hinted load,
    // which the one-bit hinting below changes by a pixel here and there.
    bool measured = false;
    if (measureSize && FT_Activate_Size(measureSize) == 0) {
        measured = FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0;
        if (measured) {
            if (embolden) FT_GlyphSlot_Embolden(slot);
            glyph.Advance = RoundPixels(slot->advance.x);
        }
    }
    // The image is hinted for a one-bit target: stems land on whole pixels instead of
    // smearing.
    if (FT_Activate_Size(drawSize) != 0 || FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) return;
    if (embolden) FT_GlyphSlot_Embolden(slot);
    if (oblique) FT_GlyphSlot_Oblique(slot);
    // But GDI sets the glyphs of a text by the advances of the images it draws.
    glyph.DrawAdvance = RoundPixels(slot->advance.x);
    if (!measured) glyph.Advance = glyph.DrawAdvance;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // Rasterised into the outline's whole box, floored and ceiled to pixels, as GDI does.
        // FreeType's own one-bit rendering rounds the box instead, and where an outline
        // barely reaches into a column it loses that column and sets the pixel one column in
        // (the foot of "3" in Liberation Serif at 15 pixels, the stem of "E" in Liberation
        // Sans at 8).
        FT_BBox box{};
        FT_Outline_Get_CBox(&slot->outline, &box);
        const FT_Pos left = box.xMin >> 6, right = (box.xMax + 63) >> 6;  // arithmetic shifts floor
        const FT_Pos bottom = box.yMin >> 6, top = (box.yMax + 63) >> 6;
        const FT_Pos width = right - left, rows = top - bottom;
        if (width <= 0 || rows <= 0 || width > MaxGlyphPixels || rows > MaxGlyphPixels) return;
        const int pitch = int((width + 31) / 32 * 4);
        std::vector<unsigned char> buffer(std::size_t(pitch) * std::size_t(rows), 0);
        FT_Bitmap target{};
        target.width = unsigned(width);
        target.rows = unsigned(rows);
        target.pitch = pitch;
        target.buffer = buffer.data();
        target.pixel_mode = FT_PIXEL_MODE_MONO;
        target.num_grays = 2;
        FT_Outline_Translate(&slot->outline, -left * 64, -bottom * 64);
        if (FT_Outline_Get_Bitmap(slot->library, &slot->outline, &target) != 0) return;
        CopyInk(target, int(left), int(top), glyph);
        return;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return;
    CopyInk(slot->bitmap, slot->bitmap_left, slot->bitmap_top, glyph);
}

}  // namespace

TFace& TTextRenderer::TState::FaceFor(const TFont& font) {
    const int pixels = PixelSize(font.Size);
    const bool bold = font.Style & fsBold;
    const bool italic = font.Style & fsItalic;
    // The grid writes a thousand labels in one font: skip the map while the font stays.
    if (FLast && FLastPixels == pixels && FLastBold == bold && FLastItalic == italic && FLastName == font.Name)
        return *FLast;
    TKey key{font.Name, pixels, bold, italic};
    auto found = FFaces.find(key);
    if (found == FFaces.end()) found = FFaces.emplace(std::move(key), OpenFont(font.Name, pixels, bold, italic)).first;
    FLast = found->second.get();
    FLastName = font.Name;
    FLastPixels = pixels;
    FLastBold = bold;
    FLastItalic = italic;
    return *FLast;
}

std::unique_ptr<TFace> TTextRenderer::TState::OpenFont(const std::string& name, int pixels, bool bold, bool italic) {
    auto face = std::make_unique<TFace>();
    auto* config = static_cast<FcConfig*>(FConfig);
    std::string family = Windows1252ToUtf8(name);  // font names are 8-bit text too; fontconfig wants UTF-8
    // A name fontconfig does not know gets the face "Arial" gets, as GDI gives it its
    // default face, not fontconfig's default.
    if (family != DefaultFamily && !Candidates(config, family, bold, italic, false).NameKnown) family = DefaultFamily;
    // The best match nearly always loads; only when it does not is the whole sorted list
    // of fonts worth having.
    for (bool everything : {false, true}) {
        if (!FLibrary || face->Face) break;
        for (const auto& [file, index] : Candidates(config, family, bold, italic, everything).Files) {
            face->Face = OpenFace(static_cast<FT_Library>(FLibrary), file.c_str(), index, pixels);
            if (face->Face) {
                face->File = file;
                break;
            }
        }
    }
    if (FT_Face f = face->Face) {
        face->DrawSize = f->size;
        FT_Size measure = nullptr;
        if (FT_New_Size(f, &measure) == 0) {
            if (FT_Activate_Size(measure) == 0 && SetSize(f, pixels))
                face->MeasureSize = measure;
            else
                FT_Done_Size(measure);
            FT_Activate_Size(face->DrawSize);
        }
        face->Embolden = bold && !(f->style_flags & FT_STYLE_FLAG_BOLD);
        face->Oblique = italic && !(f->style_flags & FT_STYLE_FLAG_ITALIC);
        MeasureFace(f, pixels, face->Metrics, face->Lines.UnderlineTop, face->Lines.UnderlineThickness,
                    face->Lines.StrikeTop, face->Lines.StrikeThickness);
    }
    return face;
}

TTextMetrics TTextRenderer::Metrics(const TFont& font) {
    std::lock_guard lock(FMutex);
    return FState->FaceFor(font).Metrics;
}

int TTextRenderer::TextWidth(const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    TFace& face = FState->FaceFor(font);
    if (!face.Face) return 0;
    int64_t width = 0;
    for (unsigned char c : text) {
        TGlyph& g = face.Glyphs[c];
        if (!g.Loaded) {
            LoadGlyph(face.Face, face.DrawSize, face.MeasureSize, face.Embolden, face.Oblique, c, g);
            ++FState->FRendered;
        }
        width += g.Advance;
    }
    return int(std::clamp<int64_t>(width, 0, INT_MAX));
}

void TTextRenderer::DrawText(TBitmap& bitmap, int32_t x, int32_t y, const TFont& font, std::string_view text) {
    std::lock_guard lock(FMutex);
    TFace& face = FState->FaceFor(font);
    if (!face.Face) return;
    const uint8_t ink = PaletteIndexOf(font.Color);
    const int64_t baseline = int64_t(y) + face.Metrics.Ascent;
    int64_t pen = x;
    int64_t width = 0;  // the lines span the text's width, not its pen travel
    for (unsigned char c : text) {
        TGlyph& g = face.Glyphs[c];
        if (!g.Loaded) {
            LoadGlyph(face.Face, face.DrawSize, face.MeasureSize, face.Embolden, face.Oblique, c, g);
            ++FState->FRendered;
        }
        const int64_t left = pen + g.Left;
        const int64_t top = baseline - g.Top;
        for (int r = 0; r < g.Rows; ++r) {
            const int64_t py = top + r;
            if (py < 0 || py >= bitmap.Height()) continue;
            uint8_t* row = bitmap.ScanLine(int32_t(py));
            const uint8_t* bits = g.Ink.data() + std::size_t(r) * g.Width;
            const int first = int(std::clamp<int64_t>(-left, 0, g.Width));
            const int end = int(std::clamp<int64_t>(bitmap.Width() - left, 0, g.Width));
            for (int cx = first; cx < end; ++cx)
                if (bits[cx]) row[left + cx] = ink;
        }
        pen += g.DrawAdvance;
        width += g.Advance;
    }
    DrawTextLines(bitmap, x, x + width, baseline, font.Style, face.Lines, ink);
}

std::size_t TTextRenderer::RenderedGlyphCount() const {
    std::lock_guard lock(FMutex);
    return FState->FRendered;
}

std::string TTextRenderer::FaceFile(const TFont& font) {
    std::lock_guard lock(FMutex);
    return FState->FaceFor(font).File;
}

}  // namespace gridloom
