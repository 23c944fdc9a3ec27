// Resetting the master image before a run.
#pragma once

#include "render/Bitmap.h"

namespace gridloom {

// Leaves the bitmap 7920 x 3960 and all navy, whatever it held before, with the brush navy.
void ResetMasterImage(TBitmap& bitmap);

}  // namespace gridloom
