// The platform's graphics values that more than the drawing uses: the colour value and the
// description of a font. The drawing writes labels in a font; the settings record one.
#pragma once

#include <cstdint>
#include <string>

namespace gridloom {

// A 32-bit colour value: red in the low byte, then green, then blue (red alone is 255).
using TColor = uint32_t;

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
    int32_t Size = 8;  // points
    TFontStyles Style = 0;
    TColor Color = 0;  // black

    bool operator==(const TFont&) const = default;
};

}  // namespace gridloom
