#include "render/MasterImage.h"

namespace gridloom {

void ResetMasterImage(TBitmap& bitmap) {
    // Dropping the height first discards the old picture, so that growing back to full
    // size exposes only new pixels, all painted with the navy brush.
    bitmap.SetHeight(0);
    bitmap.Canvas().Brush.Color = clNavy;
    bitmap.SetHeight(3960);
    bitmap.SetWidth(7920);
}

}  // namespace gridloom
