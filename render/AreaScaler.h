// Turning the 8-bit master image into screen pixels for the image display.
//
// The fitted view shrinks the 7920 x 3960 map about elevenfold. Picking one image pixel per
// screen pixel would drop most 1-pixel boundaries and gridlines, and which ones survive
// would change with every size of the window. Instead each screen pixel shows the average
// colour of the image area it covers, partly covered image pixels counting by the part they
// cover: a thin yellow border then tints its screen pixel rather than vanishing.
//
// Screen pixels are 0xffRRGGBB, the layout of QImage::Format_RGB32; nothing here knows Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gridloom {

class TBitmap;

// A rectangle of destination pixels, [Left, Right) x [Top, Bottom).
struct TPixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

class TAreaScaler {
public:
    // Writes the part `part` of the whole bitmap scaled to width x height (the aspect ratio
    // is not kept) into out, whose rows are `stride` pixels apart; out's first pixel is
    // part's top-left corner. Parts outside the picture are clipped away.
    void Scale(const TBitmap& bitmap, int width, int height, TPixelRect part, uint32_t* out, std::ptrdiff_t stride);

private:
    // Which image rows a destination row covers: the partly covered row on each side with
    // its covered share in 1/256ths, and the whole rows between them.
    struct TSpan {
        int32_t First = 0;   // first whole row
        int32_t Count = 0;   // whole rows
        int32_t Before = 0;  // the partly covered row before First...
        int32_t BeforeWeight = 0;
        int32_t After = 0;  // ...and after the whole ones
        int32_t AfterWeight = 0;
        uint32_t Total = 0;  // the whole covered height in 1/256ths
    };
    void MakeRows(int32_t source, int destination);
    void MakeColumns(int32_t source, int destination);
    // One destination row's light while it is being added up: what partly covered columns
    // received, and the changes of light per unit of width that whole runs of columns
    // received. Red, green, blue and an unused lane, added as one vector; single precision
    // is ample for sums that feed a 4096-step table.
    using TChannels = float __attribute__((vector_size(16)));
    struct TRowSums {
        std::vector<TChannels> Direct;
        std::vector<TChannels> Density;
    };
    void ScaleRows(const TBitmap& bitmap, const TPixelRect& part, int top, int bottom, uint32_t* out,
                   std::ptrdiff_t stride, TRowSums& sums) const;
    void AddRow(const uint8_t* line, int32_t imageWidth, float rowWeight, const TPixelRect& part, TRowSums& sums) const;
    int ColumnAt(int64_t position) const;  // the column covering an image position in 1/256ths

    std::vector<TSpan> FRows;
    std::vector<int64_t> FBounds;  // column c covers image x from FBounds[c] to FBounds[c + 1], in 1/256ths
    std::vector<float> FWidths;    // FBounds[c + 1] - FBounds[c]
    std::vector<float> FPerWidth;  // 1 / FWidths[c]
    double FColumnsPerPosition = 0;
    int32_t FColumnsFor[2] = {-1, -1};  // (source, destination) the tables were made for
    int32_t FRowsFor[2] = {-1, -1};
    TRowSums FBands[2];  // the upper and lower halves of the rows are added up apart
};

// Writes the part `part` of the bitmap at one image pixel per screen pixel (part in image
// coordinates, clipped to the image) into out.
void CopyPixels(const TBitmap& bitmap, TPixelRect part, uint32_t* out, std::ptrdiff_t stride);

}  // namespace gridloom
