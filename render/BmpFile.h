// Saving the master image as an 8-bit Windows BMP, with the choice TBitmap::SaveToFile does
// not offer: replacing a read-only file once the user has agreed to it.
#pragma once

#include <string>

#include "render/Bitmap.h"

namespace gridloom {

enum class TReadOnlyTarget {
    Refuse,   // a read-only target is refused, for every user, as Windows refuses it
    Replace,  // the user said yes: it is replaced, and the new file is read-only as the old was
};

// Writes bitmap to path as TBitmap::SaveToFile describes. A read-only target is replaced
// without its read-only bit ever being cleared, so a save that fails leaves it read-only.
TSaveResult SaveBitmapFile(const TBitmap& bitmap, const std::string& path, TReadOnlyTarget readOnly);

}  // namespace gridloom
