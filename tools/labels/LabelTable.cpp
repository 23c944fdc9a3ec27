#include "tools/labels/LabelTable.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "render/Bitmap.h"
#include "render/Color.h"
#include "render/TextRenderer.h"

namespace gridloom {

namespace {

constexpr int32_t LargestPixels = 96;  // 72 points

struct TStyleColumn {
    TFontStyles Style;
    const char* Name;
};

constexpr TStyleColumn Styles[] = {
    {0, "regular"},
    {fsBold, "bold"},
    {fsItalic, "italic"},
    {fsBold | fsItalic, "bold italic"},
    {fsUnderline, "underline"},
    {fsStrikeOut, "strikeout"},
    {fsBold | fsItalic | fsUnderline | fsStrikeOut, "all four"},
};

constexpr int32_t Sizes[] = {6, 8, 9, 10, 11, 12, 14, 18, 24, 36, 72};

// Times New Roman and Courier New are missing from a bare Wine, whose GDI then falls back to
// its default face; a Windows system has them, so their metric twins on Linux stay the better
// answer and their bands are shown, not held to Wine's choice.
constexpr const char* Faces[] = {"Arial", "Liberation Serif", "Times New Roman", "Courier New",
                                 "Gridloom No Such Face"};

bool FaceIsHeldExact(const std::string& face) { return face != "Times New Roman" && face != "Courier New"; }

uint32_t Little32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

}  // namespace

std::vector<TLabelRow> LabelTable() {
    std::vector<TLabelRow> rows;
    int32_t top = 0;
    for (const char* face : Faces)
        for (const TStyleColumn& style : Styles)
            for (int32_t points : Sizes) {
                TLabelRow row;
                row.Font.Name = face;
                row.Font.Size = points;
                row.Font.Style = style.Style;
                row.Font.Color = clRed;
                row.Description = std::string(face) + " " + std::to_string(points) + " " + style.Name;
                row.Exact = FaceIsHeldExact(face);
                row.Top = top;
                row.Height = TTextRenderer::PixelSize(points) * 3 / 2 + 6;
                top += row.Height;
                rows.push_back(row);
            }
    return rows;
}

int32_t LabelTableWidth() { return 19 * LargestPixels + 16; }

int32_t LabelTableHeight(const std::vector<TLabelRow>& rows) {
    return rows.empty() ? 0 : rows.back().Top + rows.back().Height;
}

void DrawLabelTable(TBitmap& bitmap, const std::vector<TLabelRow>& rows) {
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = clNavy;
    bitmap.SetWidth(0);
    bitmap.SetWidth(LabelTableWidth());
    bitmap.SetHeight(LabelTableHeight(rows));
    for (const TLabelRow& row : rows) {
        canvas.Font = row.Font;
        const int32_t pixels = TTextRenderer::PixelSize(row.Font.Size);
        const int32_t y = row.Top + 3;
        // As the grid places its labels: flush left, centred on a meridian, and ending two
        // spaces short of one.
        canvas.TextOut(4, y, "0 30W 80N 100W 45S");
        canvas.TextOut(13 * pixels - canvas.TextWidth("170E") / 2, y, "170E");
        canvas.TextOut(19 * pixels - canvas.TextWidth("62S 9N  "), y, "62S 9N");
    }
}

TIndexedPicture ReadIndexedBmp(const std::string& path) {
    TIndexedPicture picture;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        picture.Error = path + ": not a BMP file";
        return picture;
    }
    const uint32_t offset = Little32(b, 10);
    const auto width = int32_t(Little32(b, 18));
    const auto height = int32_t(Little32(b, 22));
    const unsigned bits = unsigned(b[28]) | unsigned(b[29]) << 8;
    if (bits != 8 || width <= 0 || height == 0 || height == INT32_MIN) {
        picture.Error = path + ": not an 8-bit picture";
        return picture;
    }
    const std::size_t rowsHigh = std::size_t(height < 0 ? -int64_t(height) : height);
    const std::size_t stride = (std::size_t(width) + 3) / 4 * 4;
    if (offset > b.size() || (b.size() - offset) / stride < rowsHigh) {
        picture.Error = path + ": shorter than its header says";
        return picture;
    }
    picture.Width = width;
    picture.Height = int32_t(rowsHigh);
    picture.Pixels.resize(std::size_t(width) * rowsHigh);
    for (std::size_t y = 0; y < rowsHigh; ++y) {
        const std::size_t stored = height > 0 ? rowsHigh - 1 - y : y;  // bottom-up unless the height is negative
        std::copy_n(b.begin() + std::ptrdiff_t(offset + stored * stride), width,
                    picture.Pixels.begin() + std::ptrdiff_t(y * std::size_t(width)));
    }
    return picture;
}

}  // namespace gridloom
