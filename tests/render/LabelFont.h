// The font every first start draws labels in: Arial 11 bold, in red.
#pragma once

#include "platform/Graphics.h"
#include "render/Color.h"

namespace gridloom::test {

inline TFont LabelFont() {
    TFont f;
    f.Name = "Arial";
    f.Size = 11;
    f.Style = fsBold;
    f.Color = clRed;
    return f;
}

}  // namespace gridloom::test
