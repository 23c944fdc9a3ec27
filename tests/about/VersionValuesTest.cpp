// The About box's values read from this test program's own version block, which the build
// gives it as it gives the real program (on Windows: its version resource).
#include <gtest/gtest.h>

#include <string>

#include "about/VersionValues.h"

namespace gridloom {
namespace {

TEST(OwnAboutValues, AreTheProgramsIdentity) {
    const TAboutValues values = ReadOwnAboutValues();
    EXPECT_EQ(values.ProductName, "Skylune - Make master overlay");
    EXPECT_EQ(values.FileVersion, "1.4.0.10");
    EXPECT_EQ(values.Comments, "2002 Apr 04");
    EXPECT_EQ(values.WebSite, "www.tarnwick.example");
    // The copyright sign in the block's 8-bit text: UTF-8 here, code page 1252 on Windows.
    EXPECT_TRUE(values.LegalCopyright == "Copyright \xC2\xA9 1998-2002 Tarnwick" ||
                values.LegalCopyright == "Copyright \xA9 1998-2002 Tarnwick")
        << values.LegalCopyright;
}

TEST(OwnAboutValues, TheProgramFileKeepsItsExtensionAndLosesItsFolder) {
    const std::string file = RunningProgramFile();
    EXPECT_EQ(file.rfind("gridloom_about_tests", 0), 0u) << file;
    EXPECT_EQ(file.find_first_of("/\\"), std::string::npos) << file;
}

TEST(AboutValues, AFileThatCannotBeReadGivesNothing) {
    EXPECT_EQ(ReadAboutValues("no such file").FileVersion, "");
    EXPECT_EQ(ReadAboutValues("").ProductName, "");
    // A name longer than the platform takes is not cut short to name another file.
    EXPECT_EQ(ReadVersionBlock(std::string(300, 'a')).ReportedSize, 0u);
}

}  // namespace
}  // namespace gridloom
