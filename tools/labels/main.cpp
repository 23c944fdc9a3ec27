// gridloom-labels: draws the table of labels (LabelTable.h) into a BMP, or compares two such
// pictures band by band.
//   gridloom-labels draw <picture.bmp>   prints each band's place, cell, text width and face
//   gridloom-labels compare <windows.bmp> <linux.bmp>
// compare prints the differing pixels of every band and exits 1 when a band marked exact
// differs, 2 when a picture cannot be read or is not the table's.
#include <cstdio>
#include <string>

#include "render/Bitmap.h"
#include "render/TextRenderer.h"
#include "tools/labels/LabelTable.h"

namespace {

using namespace gridloom;

int Draw(const std::string& path) {
    const std::vector<TLabelRow> rows = LabelTable();
    TBitmap bitmap;
    DrawLabelTable(bitmap, rows);
    const TSaveResult saved = bitmap.SaveToFile(path);
    if (!saved) {
        std::fprintf(stderr, "%s\n", saved.Error.c_str());
        return 2;
    }
    // The cell and the advances as each backend measures them, beside the face it chose.
    for (const TLabelRow& row : rows) {
        const TTextMetrics metrics = TTextRenderer::Shared()->Metrics(row.Font);
        std::printf("%6d %3d %-5s %-36s %3d+%-3d %4d %s\n", row.Top, row.Height, row.Exact ? "exact" : "shown",
                    row.Description.c_str(), metrics.Ascent, metrics.Descent,
                    TTextRenderer::Shared()->TextWidth(row.Font, "0 30W 80N 100W 45S"),
                    TTextRenderer::Shared()->FaceFile(row.Font).c_str());
    }
    return 0;
}

int Compare(const std::string& windowsPath, const std::string& linuxPath) {
    const std::vector<TLabelRow> rows = LabelTable();
    const TIndexedPicture windows = ReadIndexedBmp(windowsPath);
    const TIndexedPicture linux = ReadIndexedBmp(linuxPath);
    for (const TIndexedPicture* p : {&windows, &linux}) {
        if (!p->Error.empty()) {
            std::fprintf(stderr, "%s\n", p->Error.c_str());
            return 2;
        }
        if (p->Width != LabelTableWidth() || p->Height != LabelTableHeight(rows)) {
            std::fprintf(stderr, "a picture is %dx%d, not the table's %dx%d\n", p->Width, p->Height, LabelTableWidth(),
                         LabelTableHeight(rows));
            return 2;
        }
    }
    long exactDiffering = 0, shownDiffering = 0, exactBands = 0, shownBands = 0;
    for (const TLabelRow& row : rows) {
        long differing = 0;
        int firstX = -1, firstY = -1;
        for (int32_t y = row.Top; y < row.Top + row.Height; ++y)
            for (int32_t x = 0; x < windows.Width; ++x) {
                const std::size_t at = std::size_t(y) * std::size_t(windows.Width) + std::size_t(x);
                if (windows.Pixels[at] == linux.Pixels[at]) continue;
                if (differing++ == 0) firstX = x, firstY = y;
            }
        const char* kind = row.Exact ? "exact" : "shown";
        if (differing == 0) {
            std::printf("%-5s %-36s identical\n", kind, row.Description.c_str());
            continue;
        }
        std::printf("%-5s %-36s %7ld pixels differ, first (%d,%d) Windows %u Linux %u\n", kind, row.Description.c_str(),
                    differing, firstX, firstY,
                    unsigned(windows.Pixels[std::size_t(firstY) * std::size_t(windows.Width) + std::size_t(firstX)]),
                    unsigned(linux.Pixels[std::size_t(firstY) * std::size_t(windows.Width) + std::size_t(firstX)]));
        (row.Exact ? exactDiffering : shownDiffering) += differing;
        ++(row.Exact ? exactBands : shownBands);
    }
    std::printf("exact bands differing: %ld (%ld pixels); shown bands differing: %ld (%ld pixels)\n", exactBands,
                exactDiffering, shownBands, shownDiffering);
    return exactBands == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "draw" && argc == 3) return Draw(argv[2]);
    if (verb == "compare" && argc == 4) return Compare(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: gridloom-labels draw <picture.bmp>\n"
                 "       gridloom-labels compare <windows.bmp> <linux.bmp>\n");
    return 2;
}
