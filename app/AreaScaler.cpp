#include "app/AreaScaler.h"

#include <algorithm>
#include <array>

#include "render/Bitmap.h"

namespace gridloom {

namespace {

// Screen pixels of the palette indices; indices past the palette show black, as the saved
// file's colour table has them.
std::array<uint32_t, 256> ScreenColours() {
    std::array<uint32_t, 256> colours{};
    colours.fill(0xff000000u);
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        const TColor c = DefaultPalette[i];
        colours[i] = 0xff000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    }
    return colours;
}

// The three channels of a palette colour side by side in one word, 21 bits each, so that
// one addition adds all three: a run of whole pixels is summed with one add per pixel.
// 21 bits hold the sum of 8000 pixels of 255, more than any span can cover.
constexpr int FieldBits = 21;
constexpr uint64_t FieldMask = (uint64_t(1) << FieldBits) - 1;

std::array<uint64_t, 256> PackedColours() {
    std::array<uint64_t, 256> packed{};
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        const TColor c = DefaultPalette[i];
        packed[i] = (uint64_t(GetRValue(c)) << (2 * FieldBits)) | (uint64_t(GetGValue(c)) << FieldBits) | GetBValue(c);
    }
    return packed;
}

const std::array<uint32_t, 256> Screen = ScreenColours();
const std::array<uint64_t, 256> Packed = PackedColours();

TPixelRect Clip(TPixelRect r, int width, int height) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, width);
    r.Bottom = std::min(r.Bottom, height);
    return r;
}

}  // namespace

void TAreaScaler::MakeSpans(std::vector<TSpan>& spans, int32_t source, int destination) {
    spans.resize(std::size_t(destination));
    for (int d = 0; d < destination; ++d) {
        // The covered stretch [a, b) of the image, in 1/256ths of a pixel.
        const int64_t a = int64_t(d) * source * 256 / destination;
        const int64_t b = int64_t(d + 1) * source * 256 / destination;
        TSpan& s = spans[std::size_t(d)];
        s = TSpan{};
        s.Total = uint32_t(b - a);
        const int64_t firstWhole = (a + 255) >> 8;
        const int64_t endWhole = b >> 8;
        if (firstWhole <= endWhole) {
            s.First = int32_t(firstWhole);
            s.Count = int32_t(endWhole - firstWhole);
            s.Before = int32_t(firstWhole - 1);
            s.BeforeWeight = int32_t(firstWhole * 256 - a);
            s.After = int32_t(endWhole);
            s.AfterWeight = int32_t(b - endWhole * 256);
        } else {
            // Enlarging: the whole stretch lies inside one image pixel.
            s.Before = int32_t(a >> 8);
            s.BeforeWeight = int32_t(b - a);
        }
    }
}

void TAreaScaler::Scale(const TBitmap& bitmap, int width, int height, TPixelRect part, uint32_t* out,
                        std::ptrdiff_t stride) {
    const TPixelRect clipped = Clip(part, width, height);
    if (clipped.Width() <= 0 || clipped.Height() <= 0 || bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
    out += (clipped.Top - part.Top) * stride + (clipped.Left - part.Left);
    part = clipped;

    if (FColumnsFor[0] != bitmap.Width() || FColumnsFor[1] != width) {
        MakeSpans(FColumns, bitmap.Width(), width);
        FColumnsFor[0] = bitmap.Width();
        FColumnsFor[1] = width;
    }
    if (FRowsFor[0] != bitmap.Height() || FRowsFor[1] != height) {
        MakeSpans(FRows, bitmap.Height(), height);
        FRowsFor[0] = bitmap.Height();
        FRowsFor[1] = height;
    }

    const int columns = part.Width();
    FSums.resize(std::size_t(columns) * 3);
    const TSpan* spans = FColumns.data() + part.Left;

    // Adds one image row, weighted by the share of it the destination row covers.
    auto addRow = [&](int32_t y, uint64_t rowWeight) {
        if (rowWeight == 0) return;
        const uint8_t* line = bitmap.ScanLine(y);
        uint64_t* sums = FSums.data();
        for (int c = 0; c < columns; ++c, sums += 3) {
            const TSpan& s = spans[c];
            uint64_t whole = 0;
            const uint8_t* p = line + s.First;
            for (int32_t i = 0; i < s.Count; ++i) whole += Packed[p[i]];
            uint64_t r = (whole >> (2 * FieldBits)) << 8;
            uint64_t g = ((whole >> FieldBits) & FieldMask) << 8;
            uint64_t b = (whole & FieldMask) << 8;
            if (s.BeforeWeight) {
                const uint64_t v = Packed[line[s.Before]];
                r += (v >> (2 * FieldBits)) * uint64_t(s.BeforeWeight);
                g += ((v >> FieldBits) & FieldMask) * uint64_t(s.BeforeWeight);
                b += (v & FieldMask) * uint64_t(s.BeforeWeight);
            }
            if (s.AfterWeight) {
                const uint64_t v = Packed[line[s.After]];
                r += (v >> (2 * FieldBits)) * uint64_t(s.AfterWeight);
                g += ((v >> FieldBits) & FieldMask) * uint64_t(s.AfterWeight);
                b += (v & FieldMask) * uint64_t(s.AfterWeight);
            }
            sums[0] += r * rowWeight;
            sums[1] += g * rowWeight;
            sums[2] += b * rowWeight;
        }
    };

    for (int y = part.Top; y < part.Bottom; ++y, out += stride) {
        std::fill(FSums.begin(), FSums.end(), 0);
        const TSpan& rows = FRows[std::size_t(y)];
        addRow(rows.Before, uint64_t(rows.BeforeWeight));
        for (int32_t i = 0; i < rows.Count; ++i) addRow(rows.First + i, 256);
        addRow(rows.After, uint64_t(rows.AfterWeight));

        const double perRow = 1.0 / double(rows.Total);
        const uint64_t* sums = FSums.data();
        for (int c = 0; c < columns; ++c, sums += 3) {
            const double scale = perRow / double(spans[c].Total);
            const auto channel = [scale](uint64_t sum) { return uint32_t(double(sum) * scale + 0.5); };
            out[c] = 0xff000000u | (channel(sums[0]) << 16) | (channel(sums[1]) << 8) | channel(sums[2]);
        }
    }
}

void CopyPixels(const TBitmap& bitmap, TPixelRect part, uint32_t* out, std::ptrdiff_t stride) {
    const TPixelRect clipped = Clip(part, bitmap.Width(), bitmap.Height());
    if (clipped.Width() <= 0 || clipped.Height() <= 0) return;
    out += (clipped.Top - part.Top) * stride + (clipped.Left - part.Left);
    for (int y = clipped.Top; y < clipped.Bottom; ++y, out += stride) {
        const uint8_t* line = bitmap.ScanLine(y) + clipped.Left;
        for (int x = 0; x < clipped.Width(); ++x) out[x] = Screen[line[x]];
    }
}

}  // namespace gridloom
