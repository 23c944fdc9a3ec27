// A font recorded in the registry as four values named from a prefix: with "Font" they are
// FontColour, FontName, FontSize and FontStyle.
//
// The holder only stores: it never reads the values back, so stored fonts have no effect on
// it. Its owner fills it when it is made and again, by CopyFromFont, just before freeing it.
// A value still as the holder was made leaves the stored one as it is (see RegistryVariables.h).
#pragma once

#include <memory>
#include <string>

#include "platform/Graphics.h"
#include "settings/RegistryVariables.h"

namespace gridloom {

class TRegistryFont : public TRegistryVariable {
public:
    // Makes the four variables (none of them loads) and fills them from the font, if any.
    TRegistryFont(const std::string& namePrefix, const TFont* font);
    // Stores the values in the order colour, name, style, size.
    ~TRegistryFont() override;

    // Takes the font's name, size, style code (bold 1 + italic 2 + underline 4 + strikeout 8)
    // and colour; a null font changes nothing.
    void CopyFromFont(const TFont* font);

    const TRegistryInteger& Colour() const { return *FColour; }
    const TRegistryString& Name() const { return *FName; }
    const TRegistryInteger& Size() const { return *FSize; }
    const TRegistryInteger& Style() const { return *FStyle; }

private:
    std::unique_ptr<TRegistryInteger> FColour;
    std::unique_ptr<TRegistryString> FName;
    std::unique_ptr<TRegistryInteger> FSize;
    std::unique_ptr<TRegistryInteger> FStyle;
};

}  // namespace gridloom
