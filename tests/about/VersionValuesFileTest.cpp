// The About box's values read from program files made in the test: which string table is
// looked in, and which version text wins.
#include <gtest/gtest.h>

#include <string>

#include "about/VersionValues.h"
#include "tests/platform/TempFolder.h"
#include "tests/platform/VersionFiles.h"

namespace gridloom {
namespace {

using test::ProgramLikeDescription;

class AboutValuesFile : public ::testing::Test {
protected:
    std::string Write(const TVersionDescription& d) {
        const std::string path = Folder / ("program" + std::to_string(++Count) + ".exe");
        test::WriteBytes(path, test::PeFile(BuildVersionBlock(d)));
        return path;
    }
    test::TTempFolder Folder;
    int Count = 0;
};

TEST_F(AboutValuesFile, AreLookedUpInTheTableOfTheFirstTranslation) {
    TVersionDescription d = ProgramLikeDescription();
    EXPECT_EQ(ReadAboutValues(Write(d)).ProductName, "Skylune - Make master overlay");

    // A neutral translation stands for US English in the Western code page.
    d.Translations = {{0, 0}};
    d.StringTableKey = "040904E4";
    EXPECT_EQ(ReadAboutValues(Write(d)).Comments, "2002 Apr 04");

    // Without a translation array the same table is used.
    d.Translations.clear();
    EXPECT_EQ(ReadAboutValues(Write(d)).WebSite, "www.tarnwick.example");

    // A table under another key than the first translation's is not found.
    d = ProgramLikeDescription();
    d.StringTableKey = "040904E4";
    const TAboutValues other = ReadAboutValues(Write(d));
    EXPECT_EQ(other.ProductName, "");
    EXPECT_EQ(other.FileVersion, "1.4.0.10");  // from the fixed record
}

TEST_F(AboutValuesFile, TheVersionsTextWinsOverItsNumbers) {
    TVersionDescription d = ProgramLikeDescription();
    const uint16_t numbers[4] = {2, 7, 1, 65535};
    std::copy(numbers, numbers + 4, d.FileVersion);
    EXPECT_EQ(ReadAboutValues(Write(d)).FileVersion, "1.4.0.10");
    for (auto& [key, value] : d.Strings)
        if (key == "FileVersion") value.clear();
    EXPECT_EQ(ReadAboutValues(Write(d)).FileVersion, "2.7.1.65535");
}

TEST_F(AboutValuesFile, AFileWithoutABlockGivesEmptyValues) {
    const std::string path = Folder / "plain.exe";
    test::WriteBytes(path, {'M', 'Z', 0, 0});
    const TAboutValues values = ReadAboutValues(path);
    EXPECT_EQ(values.ProductName + values.LegalCopyright + values.FileVersion + values.Comments + values.WebSite, "");
}

}  // namespace
}  // namespace gridloom
