// The font of a canvas: what labels are written in.
#pragma once

#include <cstdint>
#include <string>

#include "render/Color.h"

namespace gridloom {

// Style flags; their sum is the stored style code (bold 1 + italic 2 + underline 4 + strikeout 8).
enum TFontStyle : uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
using TFontStyles = uint8_t;  // any combination of TFontStyle flags

struct TFont {
    std::string Name = "MS Sans Serif";
    int32_t Size = 8;          // points
    TFontStyles Style = 0;
    TColor Color = clBlack;

    bool operator==(const TFont&) const = default;
};

}  // namespace gridloom
