// TBitmap::SaveToFile: the 8-bit Windows BMP, written beside the target and renamed
// over it only once it is completely written.
#include "render/BmpFile.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/ReplacementFile.h"
#include "render/Bitmap.h"

namespace gridloom {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t ColourTableSize = std::size_t{256} * 4;
constexpr std::size_t HeadersSize = FileHeaderSize + InfoHeaderSize + ColourTableSize;

void Put16(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

std::array<uint8_t, HeadersSize> MakeHeaders(int32_t width, int32_t height, uint32_t imageSize) {
    std::array<uint8_t, HeadersSize> h{};
    uint8_t* p = h.data();
    // BITMAPFILEHEADER
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, uint32_t(HeadersSize) + imageSize);  // whole file
    Put32(p + 10, uint32_t(HeadersSize));             // offset of the pixels
    // BITMAPINFOHEADER
    p += FileHeaderSize;
    Put32(p + 0, uint32_t(InfoHeaderSize));
    Put32(p + 4, uint32_t(width));
    Put32(p + 8, uint32_t(height));  // positive: rows stored bottom-up
    Put16(p + 12, 1);                // planes
    Put16(p + 14, 8);                // bits per pixel
    Put32(p + 16, 0);                // BI_RGB
    Put32(p + 20, imageSize);
    Put32(p + 24, 0);  // pixels per metre, x and y: not given
    Put32(p + 28, 0);
    Put32(p + 32, 256);  // colours used
    Put32(p + 36, 0);    // all colours important
    // Colour table: B, G, R, 0; the default palette, then black.
    p += InfoHeaderSize;
    for (int i = 0; i < DefaultPaletteSize; ++i) {
        p[4 * i + 0] = GetBValue(DefaultPalette[i]);
        p[4 * i + 1] = GetGValue(DefaultPalette[i]);
        p[4 * i + 2] = GetRValue(DefaultPalette[i]);
    }
    return h;
}

std::string Describe(const std::string& what, int error) { return what + ": " + std::strerror(error) + "."; }

// The user's sentence for the step of the save that failed.
std::string SaveError(const TReplacementFile& file, const std::string& quoted) {
    std::string what;
    switch (file.FailedStep()) {
    case TReplacementFile::TStep::Target:
        return "The file " + quoted + " is " + file.TargetKind() + ", not a regular file; nothing was written.";
    case TReplacementFile::TStep::Create:
        what = "Cannot create a new file in the folder \"" + file.Folder() + "\"";
        break;
    case TReplacementFile::TStep::Permissions: what = "Cannot set the permissions of " + quoted; break;
    case TReplacementFile::TStep::Rename: what = "Cannot replace " + quoted; break;
    default: what = "Cannot write " + quoted; break;
    }
    return Describe(what, file.FailedErrno());
}

}  // namespace

TSaveResult TBitmap::SaveToFile(const std::string& path) const {
    return SaveBitmapFile(*this, path, TReadOnlyTarget::Refuse);
}

TSaveResult SaveBitmapFile(const TBitmap& bitmap, const std::string& path, TReadOnlyTarget readOnly) {
    TSaveResult result;
    const std::string quoted = "\"" + path + "\"";
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();

    // Links are followed here as the replacement follows them. Only a regular file can be
    // read-only in the sense of the question the user is asked; anything else is refused
    // by the replacement itself.
    if (readOnly == TReadOnlyTarget::Refuse && IsReadOnlyRegularFile(GetFileAttributes(path))) {
        result.Error = "The file " + quoted + " is read-only.";
        return result;
    }

    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    const uint64_t imageSize = stride * uint64_t(height);
    if (HeadersSize + imageSize > UINT32_MAX) {
        result.Error = "The image is too large to save as " + quoted + ".";
        return result;
    }

    // The replaced file's permissions, owner and group carry over to its successor.
    TReplacementFile file(path);

    // Headers first, then the rows bottom-up straight from the pixels: a few large
    // writes and no second copy of the image.
    auto headers = MakeHeaders(width, height, uint32_t(imageSize));
    static const uint8_t Zeros[4] = {};
    const std::size_t pad = std::size_t(stride - uint64_t(width));
    std::vector<TByteRange> ranges;
    ranges.reserve(1 + 2 * std::size_t(height));
    ranges.push_back({headers.data(), headers.size()});
    for (int32_t y = height - 1; y >= 0; --y) {
        if (width > 0) ranges.push_back({bitmap.ScanLine(y), std::size_t(width)});
        if (pad > 0) ranges.push_back({Zeros, pad});
    }
    file.WriteRanges(ranges);

    // The data reach the disk before the rename, so that a crash soon after "saved" cannot
    // leave an empty image where the old one was; the folder is not synced, since the old
    // image is kept until the rename is on the disk anyway.
    if (!file.Commit(false)) {
        result.Error = SaveError(file, quoted);
        return result;
    }
    result.Ok = true;
    return result;
}

}  // namespace gridloom
