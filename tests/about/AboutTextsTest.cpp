// What the About box says and where it puts it, for every toolkit that draws it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "about/AboutLayout.h"
#include "about/AboutTexts.h"

namespace gridloom {
namespace {

TEST(AboutTexts, TheCaptionAndTheVersionLineKeepTheirSeparatorsWhenValuesAreEmpty) {
    EXPECT_EQ(AboutBoxCaption("Skylune - Make master overlay"), "About Veskar's Skylune - Make master overlay");
    EXPECT_EQ(AboutBoxCaption(""), "About Veskar's ");
    EXPECT_EQ(AboutVersionLine("gridloom.exe", "1.4.0.10", "2002 Apr 04"), "gridloom.exe, V1.4.0.10, 2002 Apr 04");
    EXPECT_EQ(AboutVersionLine("gridloom.exe", "1.4.0.10", ""), "gridloom.exe, V1.4.0.10, ");
    EXPECT_EQ(AboutVersionLine("gridloom.exe", "", ""), "gridloom.exe, V, ");
}

TEST(AboutTexts, TheLinkGetsTheSchemeOnlyWhereItIsMissingExactly) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.tarnwick.example", "http://www.tarnwick.example"},
        {"http://www.tarnwick.example", "http://www.tarnwick.example"},
        {"see http://www.tarnwick.example/skylune", "see http://www.tarnwick.example/skylune"},
        {"HTTP://WWW.TARNWICK.EXAMPLE", "http://HTTP://WWW.TARNWICK.EXAMPLE"},
        {"https://www.tarnwick.example", "http://https://www.tarnwick.example"},
        {"", ""},  // nothing to open
    };
    for (const auto& [text, address] : cases) EXPECT_EQ(WebSiteAddress(text), address) << text;
}

TEST(AboutTexts, TheNoticeNamesTheDeveloperAndLeadsToTheSupportAddress) {
    EXPECT_EQ(DeveloperNotice(),
              "Software developed by Tarnwick, Kellsmouth, e-mail: software@tarnwick.example.  "
              "Support is from your software supplier or via:");
    EXPECT_EQ(SupportAddress(), "skylune-subscribe@lists.tarnwick.example");
}

// Properties a user sees in any toolkit's box, whatever the exact numbers.
TEST(AboutLayout, EverythingInThePanelFitsInsideItAndTheButtonSitsBelowIt) {
    using namespace about_layout;
    for (TRect r : {ProgramIcon, LabelNotice, EditSupport, WebSiteAtDesign}) {
        EXPECT_GE(r.Left, 0);
        EXPECT_GE(r.Top, 0);
        EXPECT_LE(r.Right(), Panel.Width);
        EXPECT_LE(r.Bottom(), Panel.Height);
    }
    EXPECT_LE(WebSiteRight, Panel.Width);
    EXPECT_EQ(WebSiteAtDesign.Right(), WebSiteRight);
    // The notice's last line sits just above the support address, without touching it.
    EXPECT_LE(LabelNotice.Bottom(), EditSupport.Top);
    EXPECT_LT(EditSupport.Top - LabelNotice.Bottom(), EditSupport.Height);
    EXPECT_GT(OKButton.Top, Panel.Bottom());
    EXPECT_LE(OKButton.Bottom(), ClientHeight);
    EXPECT_LE(Panel.Right(), ClientWidth);
    // The button is centred under the panel.
    EXPECT_LE(std::abs((OKButton.Left + OKButton.Right()) - (Panel.Left + Panel.Right())), 1);
}

}  // namespace
}  // namespace gridloom
