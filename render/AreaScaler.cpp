#include "render/AreaScaler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <thread>

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

// Averages are taken in linear light, as the eye averages what it cannot resolve: a 1-pixel
// red gridline over navy then shows as a clear dark red rather than a barely tinted navy.
// Linear intensities are 12-bit.
constexpr int LinearMax = 4095;

double ToLinear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::array<uint8_t, LinearMax + 1> ToScreenTable() {
    std::array<uint8_t, LinearMax + 1> table{};
    for (int i = 0; i <= LinearMax; ++i) {
        const double l = double(i) / LinearMax;
        const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
        table[std::size_t(i)] = uint8_t(std::lround(c * 255));
    }
    return table;
}

struct TLight {
    uint32_t R = 0, G = 0, B = 0;
};

std::array<TLight, 256> LinearColours() {
    std::array<TLight, 256> light{};
    const auto linear = [](int channel) { return uint32_t(std::lround(ToLinear(channel) * LinearMax)); };
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        const TColor c = DefaultPalette[i];
        light[std::size_t(i)] = {linear(GetRValue(c)), linear(GetGValue(c)), linear(GetBValue(c))};
    }
    return light;
}

// Where the run of pixels equal to line[x] ends, before `end`. The map is mostly wide
// stretches of sea and land, so the bytes are compared eight at a time.
int32_t RunEnd(const uint8_t* line, int32_t x, int32_t end) {
    const uint8_t value = line[x];
    const uint64_t pattern = 0x0101010101010101ull * value;
    while (x + 8 <= end) {
        uint64_t word;
        std::memcpy(&word, line + x, 8);
        const uint64_t differ = word ^ pattern;  // little-endian: the first byte is lowest
        if (differ != 0) return x + (__builtin_ctzll(differ) >> 3);
        x += 8;
    }
    while (x < end && line[x] == value) ++x;
    return x;
}

const std::array<uint32_t, 256> Screen = ScreenColours();
const std::array<TLight, 256> Light = LinearColours();
const std::array<uint8_t, LinearMax + 1> ToScreen = ToScreenTable();

TPixelRect Clip(TPixelRect r, int width, int height) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, width);
    r.Bottom = std::min(r.Bottom, height);
    return r;
}

}  // namespace

void TAreaScaler::MakeRows(int32_t source, int destination) {
    FRows.resize(std::size_t(destination));
    for (int d = 0; d < destination; ++d) {
        // The covered stretch [a, b) of the image, in 1/256ths of a row.
        const int64_t a = int64_t(d) * source * 256 / destination;
        const int64_t b = int64_t(d + 1) * source * 256 / destination;
        TSpan& s = FRows[std::size_t(d)];
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
            // Enlarging: the whole stretch lies inside one image row.
            s.Before = int32_t(a >> 8);
            s.BeforeWeight = int32_t(b - a);
        }
    }
}

void TAreaScaler::MakeColumns(int32_t source, int destination) {
    FBounds.resize(std::size_t(destination) + 1);
    FWidths.resize(std::size_t(destination));
    for (int d = 0; d <= destination; ++d) FBounds[std::size_t(d)] = int64_t(d) * source * 256 / destination;
    for (int d = 0; d < destination; ++d)
        FWidths[std::size_t(d)] = float(FBounds[std::size_t(d) + 1] - FBounds[std::size_t(d)]);
    FColumnsPerPosition = double(destination) / (double(source) * 256);
    FPerWidth.resize(std::size_t(destination));
    for (int d = 0; d < destination; ++d) FPerWidth[std::size_t(d)] = 1.0f / FWidths[std::size_t(d)];
}

int TAreaScaler::ColumnAt(int64_t position) const {
    // Columns are all but equally wide, so the estimate is off by at most one.
    const int last = int(FBounds.size()) - 2;
    int c = std::min(int(double(position) * FColumnsPerPosition), last);
    while (c < last && FBounds[std::size_t(c) + 1] <= position) ++c;
    while (c > 0 && FBounds[std::size_t(c)] > position) --c;
    return c;
}

// Adds the light of one image row to the part's columns, weighted by the share of the row
// the destination row covers. The row is taken a run of equal pixels at a time, and each
// run costs the same however many columns it covers: the columns it covers whole get the
// same light per unit of width, which is noted once where the run starts and undone where
// it ends (FDensity), and summed across the row once the destination row is complete.
void TAreaScaler::AddRow(const uint8_t* line, int32_t imageWidth, float rowWeight, const TPixelRect& part,
                         TRowSums& sums) const {
    const int64_t* bounds = FBounds.data();
    TChannels* direct = sums.Direct.data() - part.Left;
    TChannels* density = sums.Density.data() - part.Left;
    int32_t x = int32_t(bounds[part.Left] >> 8);
    const int32_t end = std::min<int32_t>(imageWidth, int32_t((bounds[part.Right] + 255) >> 8));
    int column = ColumnAt(int64_t(x) * 256);  // the column covering the current run's start
    while (x < end) {
        const int32_t runEnd = RunEnd(line, x, end);
        const TLight& light = Light[line[x]];
        const TChannels k = TChannels{float(light.R), float(light.G), float(light.B), 0} * rowWeight;
        const int64_t lo = int64_t(x) * 256;
        const int64_t hi = int64_t(runEnd) * 256;
        while (bounds[column + 1] <= lo) ++column;
        // Most runs end within the column they start in or the next; long ones are found
        // without walking across the columns.
        int lastColumn = column;
        if (bounds[lastColumn + 1] < hi) lastColumn = bounds[lastColumn + 2] < hi ? ColumnAt(hi - 1) : lastColumn + 1;
        const int first = std::max(column, part.Left);
        const int last = std::min(lastColumn, part.Right - 1);
        column = lastColumn;
        const auto addPart = [&](int c) {
            direct[c] += k * float(std::min(hi, bounds[c + 1]) - std::max(lo, bounds[c]));
        };
        if (first <= last) addPart(first);  // a run may lie wholly beside the part
        if (last > first) {
            addPart(last);
            if (last > first + 1) {
                density[first + 1] += k;
                density[last] -= k;
            }
        }
        x = runEnd;
    }
}

void TAreaScaler::Scale(const TBitmap& bitmap, int width, int height, TPixelRect part, uint32_t* out,
                        std::ptrdiff_t stride) {
    const TPixelRect clipped = Clip(part, width, height);
    if (clipped.Width() <= 0 || clipped.Height() <= 0 || bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
    out += (clipped.Top - part.Top) * stride + (clipped.Left - part.Left);
    part = clipped;

    if (FColumnsFor[0] != bitmap.Width() || FColumnsFor[1] != width) {
        MakeColumns(bitmap.Width(), width);
        FColumnsFor[0] = bitmap.Width();
        FColumnsFor[1] = width;
    }
    if (FRowsFor[0] != bitmap.Height() || FRowsFor[1] != height) {
        MakeRows(bitmap.Height(), height);
        FRowsFor[0] = bitmap.Height();
        FRowsFor[1] = height;
    }

    // The map is shrunk about elevenfold, so every screen row reads some eleven image rows:
    // the lower half of the rows goes to a second core where there is one.
    // The working rows are sized here, so that nothing on the second thread can fail.
    for (TRowSums& band : FBands) {
        band.Direct.resize(std::size_t(part.Width()));
        band.Density.resize(std::size_t(part.Width()) + 1);
    }
    const int rows = part.Height();
    if (rows >= 64 && std::thread::hardware_concurrency() > 1) {
        const int middle = part.Top + rows / 2;
        std::thread lower([&] {
            ScaleRows(bitmap, part, middle, part.Bottom, out + (middle - part.Top) * stride, stride, FBands[1]);
        });
        ScaleRows(bitmap, part, part.Top, middle, out, stride, FBands[0]);
        lower.join();
    } else {
        ScaleRows(bitmap, part, part.Top, part.Bottom, out, stride, FBands[0]);
    }
}

void TAreaScaler::ScaleRows(const TBitmap& bitmap, const TPixelRect& part, int top, int bottom, uint32_t* out,
                            std::ptrdiff_t stride, TRowSums& sums) const {
    const std::size_t columns = std::size_t(part.Width());
    for (int y = top; y < bottom; ++y, out += stride) {
        std::fill(sums.Direct.begin(), sums.Direct.end(), TChannels{});
        std::fill(sums.Density.begin(), sums.Density.end(), TChannels{});
        const TSpan& rows = FRows[std::size_t(y)];
        if (rows.BeforeWeight)
            AddRow(bitmap.ScanLine(rows.Before), bitmap.Width(), float(rows.BeforeWeight), part, sums);
        for (int32_t i = 0; i < rows.Count; ++i)
            AddRow(bitmap.ScanLine(rows.First + i), bitmap.Width(), 256.0f, part, sums);
        if (rows.AfterWeight) AddRow(bitmap.ScanLine(rows.After), bitmap.Width(), float(rows.AfterWeight), part, sums);

        const float perRow = 1.0f / float(rows.Total);
        TChannels running{};
        for (std::size_t c = 0; c < columns; ++c) {
            running += sums.Density[c];
            const std::size_t column = std::size_t(part.Left) + c;
            const TChannels light = (sums.Direct[c] + running * FWidths[column]) * (perRow * FPerWidth[column]) + 0.5f;
            const auto channel = [&light](int lane) {
                return uint32_t(ToScreen[std::size_t(std::clamp(light[lane], 0.0f, float(LinearMax)))]);
            };
            out[c] = 0xff000000u | (channel(0) << 16) | (channel(1) << 8) | channel(2);
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
