// The canvas font through the system's font dialog and back: what the user chooses is what
// the labels are drawn in, and a font the user leaves alone comes back as it went in.
#include <gtest/gtest.h>

#include <string>

#include "app/windows/FontDialogWindows.h"

namespace gridloom {
namespace {

TFont Font(const std::string& name, int32_t size, TFontStyles style, TColor colour = 0) {
    TFont f;
    f.Name = name;
    f.Size = size;
    f.Style = style;
    f.Color = colour;
    return f;
}

TEST(FontMapping, TheFirstStartsLabelFontIsAnElevenPointBoldCharacterHeight) {
    const LOGFONTA lf = ToLogFont(Font("Arial", 11, fsBold), 96);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -15);  // 11 points of 1/72 inch at 96 pixels an inch, rounded
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfStrikeOut);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
}

TEST(FontMapping, EveryStyleAndSizeComesBackUnchangedAtCommonScreenDensities) {
    for (int ppi : {96, 120, 144, 192})
        for (int32_t size : {1, 6, 8, 11, 12, 36, 72, 400})
            for (int style = 0; style < 16; ++style) {
                const TFont font = Font("Times New Roman", size, TFontStyles(style), 0x0000FF);
                const TFont back = FromLogFont(ToLogFont(font, ppi), font.Color, ppi);
                EXPECT_EQ(back, font) << "size " << size << " style " << style << " at " << ppi << " ppi";
            }
}

TEST(FontMapping, NegativeAndZeroSizesKeepTheirMeaning) {
    // A negative size is a cell height, the other sign of lfHeight; 0 asks for the default.
    EXPECT_GT(ToLogFont(Font("Arial", -12, 0), 96).lfHeight, 0);
    EXPECT_EQ(FromLogFont(ToLogFont(Font("Arial", -12, 0), 96), 0, 96).Size, -12);
    EXPECT_EQ(ToLogFont(Font("Arial", 0, 0), 96).lfHeight, 0);
    EXPECT_EQ(FromLogFont(ToLogFont(Font("Arial", 0, 0), 96), 0, 96).Size, 0);
}

TEST(FontMapping, TheDialogsOwnSizeInTenthsIsTakenRounded) {
    LOGFONTA lf = ToLogFont(Font("Arial", 11, 0), 96);
    EXPECT_EQ(FromLogFont(lf, 0, 96, 140).Size, 14);
    EXPECT_EQ(FromLogFont(lf, 0, 96, 105).Size, 11);
    EXPECT_EQ(FromLogFont(lf, 0, 96, 104).Size, 10);
}

TEST(FontMapping, AFaceNameLongerThanTheSystemHoldsIsCutNotOverrun) {
    const std::string longName(80, 'x');
    const LOGFONTA lf = ToLogFont(Font(longName, 10, 0), 96);
    EXPECT_EQ(std::string(lf.lfFaceName), longName.substr(0, LF_FACESIZE - 1));
    EXPECT_EQ(FromLogFont(lf, 0, 96).Name, longName.substr(0, LF_FACESIZE - 1));
}

TEST(FontMapping, SemiBoldIsNotBoldButHeavierFacesAre) {
    LOGFONTA lf = ToLogFont(Font("Arial", 10, 0), 96);
    lf.lfWeight = FW_SEMIBOLD;
    EXPECT_EQ(FromLogFont(lf, 0, 96).Style, 0);
    lf.lfWeight = FW_HEAVY;
    EXPECT_EQ(FromLogFont(lf, 0, 96).Style, fsBold);
}

}  // namespace
}  // namespace gridloom
