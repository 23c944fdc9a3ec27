#include "render/MasterImage.h"

#include "render/Projection.h"

namespace gridloom {

void ResetMasterImage(TBitmap& bitmap) {
    // Dropping the height first discards the old picture, so that growing back to full
    // size exposes only new pixels, all painted with the navy brush.
    bitmap.SetHeight(0);
    bitmap.Canvas().Brush.Color = clNavy;
    bitmap.SetHeight(MasterHeight);
    bitmap.SetWidth(MasterWidth);
}

}  // namespace gridloom
