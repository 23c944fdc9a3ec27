#include "settings/RegistryFont.h"

namespace gridloom {

TRegistryFont::TRegistryFont(const std::string& namePrefix, const TFont* font)
    : FColour(std::make_unique<TRegistryInteger>(namePrefix + "Colour")),
      FName(std::make_unique<TRegistryString>(namePrefix + "Name")),
      FSize(std::make_unique<TRegistryInteger>(namePrefix + "Size")),
      FStyle(std::make_unique<TRegistryInteger>(namePrefix + "Style")) {
    CopyFromFont(font);
    // The font the holder was made from counts as its loaded value: a font left unchanged
    // leaves what another copy of the program stored meanwhile.
    FColour->MarkUnchanged();
    FName->MarkUnchanged();
    FSize->MarkUnchanged();
    FStyle->MarkUnchanged();
}

TRegistryFont::~TRegistryFont() {
    // Each reset stores one value; this order is the order the values appear in the key.
    FColour.reset();
    FName.reset();
    FStyle.reset();
    FSize.reset();
}

void TRegistryFont::CopyFromFont(const TFont* font) {
    if (font == nullptr) return;
    FName->Value = font->Name;
    FSize->Value = font->Size;
    // The style set is kept as the sum of its flags' weights, which the flags' values are.
    FStyle->Value = font->Style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    FColour->Value = static_cast<int32_t>(font->Color);
}

}  // namespace gridloom
