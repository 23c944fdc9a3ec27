// Colours and the palette of the master image.
#pragma once

#include <cstdint>

#include "platform/Graphics.h"  // TColor, the 32-bit colour value

namespace gridloom {

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }
constexpr uint8_t GetRValue(TColor c) { return uint8_t(c); }
constexpr uint8_t GetGValue(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(TColor c) { return uint8_t(c >> 16); }

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clNavy = RGB(0, 0, 128);      // sea
constexpr TColor clGreen = RGB(0, 128, 0);     // land, hidden boundaries
constexpr TColor clYellow = RGB(255, 255, 0);  // shown boundaries
constexpr TColor clRed = RGB(255, 0, 0);       // grid and its labels
constexpr TColor clWhite = RGB(255, 255, 255);

// The 20 colours of the default system palette, in palette order. The saved image's
// colour table starts with them; every pixel of the master image is one of their indices.
constexpr int DefaultPaletteSize = 20;
extern const TColor DefaultPalette[DefaultPaletteSize];

// The palette index of a colour: its own entry, or the nearest one for a colour not in it.
uint8_t PaletteIndexOf(TColor color);

}  // namespace gridloom
