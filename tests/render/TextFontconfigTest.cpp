// The FreeType backend's choice of face through fontconfig, and what it does when fontconfig
// offers no font at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/Bitmap.h"
#include "render/Color.h"
#include "render/TextRenderer.h"
#include "tests/render/LabelFont.h"

namespace gridloom {
namespace {

using test::LabelFont;

// Names of faces Windows has keep fontconfig's metric twins; a name nobody has gets Arial's
// face, not fontconfig's default, as GDI gives it its own default.
TEST(TextRenderer, FontconfigFacesForWindowsNames) {
    TTextRenderer renderer;
    auto file = [&](const char* name) {
        TFont f = LabelFont();
        f.Name = name;
        f.Style = 0;
        return renderer.FaceFile(f);
    };
    const std::string arial = file("Arial");
    if (arial.find("LiberationSans-Regular") == std::string::npos) GTEST_SKIP() << "no Liberation fonts here";
    EXPECT_NE(file("Times New Roman").find("LiberationSerif-Regular"), std::string::npos);
    EXPECT_NE(file("times new roman").find("LiberationSerif-Regular"), std::string::npos);
    EXPECT_NE(file("Courier New").find("LiberationMono-Regular"), std::string::npos);
    EXPECT_NE(file("DejaVu Sans").find("DejaVuSans"), std::string::npos);  // a face that is there stays
    EXPECT_EQ(file("Gridloom No Such Face"), arial);
    EXPECT_EQ(file(""), arial);
}

TEST(TextRenderer, WithoutAnyFontTextIsEmpty) {
    // A fontconfig configuration that lists no font folders at all.
    const std::string config = testing::TempDir() + "gridloom_no_fonts.conf";
    {
        std::FILE* f = std::fopen(config.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", f);
        std::fclose(f);
    }
    const char* previous = std::getenv("FONTCONFIG_FILE");
    const std::string saved = previous ? previous : "";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    {
        TTextRenderer renderer;
        EXPECT_EQ(renderer.TextWidth(LabelFont(), "170W"), 0);
        EXPECT_EQ(renderer.Metrics(LabelFont()).Height(), 0);
        EXPECT_EQ(renderer.FaceFile(LabelFont()), "");
        TBitmap bitmap;
        bitmap.SetWidth(20);
        bitmap.SetHeight(20);
        renderer.DrawText(bitmap, 0, 0, LabelFont(), "170W");
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) ASSERT_NE(bitmap.Pixel(x, y), clRed);
    }
    if (previous)
        setenv("FONTCONFIG_FILE", saved.c_str(), 1);
    else
        unsetenv("FONTCONFIG_FILE");
    std::remove(config.c_str());
}

}  // namespace
}  // namespace gridloom
