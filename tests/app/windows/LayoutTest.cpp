// Where the controls of the main window sit, at the design size and when the window is
// resized: the scroll box grows with the window, everything below it keeps its distance
// from the bottom edge and its left coordinate.
#include <gtest/gtest.h>

#include "app/windows/Controls.h"
#include "app/windows/Layout.h"

namespace gridloom {
namespace {

TEST(Layout, AtTheDesignSizeEveryControlIsWhereItWasDesigned) {
    const int w = Design::ClientWidth;
    const int h = Design::ClientHeight;
    EXPECT_EQ(ScrollBoxRect(w, h), (TRect{12, 10, 732, 375}));
    EXPECT_EQ(AnchoredRect(Design::ButtonMake, h), (TRect{168, 520, 139, 31}));
    EXPECT_EQ(AnchoredRect(Design::ButtonClose, h), (TRect{640, 518, 112, 31}));
    EXPECT_EQ(StatusBarRect(w, h), (TRect{0, 565, 760, 23}));
    // The options group's controls are placed relative to the group at (168, 398).
    EXPECT_EQ(InOptionsGroup(Design::CheckBoxShowScale, h), (TRect{184, 422, 177, 20}));
    EXPECT_EQ(InOptionsGroup(Design::UpDownBoundaryWidth, h), (TRect{519, 457, 18, 24}));
    // The up-downs sit against the right edge of their edit boxes.
    EXPECT_EQ(InOptionsGroup(Design::EditGridlineWidth, h).Right(),
              InOptionsGroup(Design::UpDownGridlineWidth, h).Left);
}

TEST(Layout, AResizedWindowGrowsTheScrollBoxAndKeepsTheRestAtTheBottomLeft) {
    const int w = 1000;
    const int h = 700;
    const TRect box = ScrollBoxRect(w, h);
    EXPECT_EQ(box.Left, 12);
    EXPECT_EQ(box.Top, 10);
    EXPECT_EQ(w - box.Right(), Design::ClientWidth - Design::ScrollBox.Right());
    EXPECT_EQ(h - box.Bottom(), Design::ClientHeight - Design::ScrollBox.Bottom());
    for (const TRect& design :
         {Design::RadioGroupGrid, Design::GroupBoxOptions, Design::ButtonMake, Design::LabelProgress,
          Design::ProgressBar, Design::ButtonZoom, Design::ButtonAbout, Design::ButtonClose}) {
        const TRect placed = AnchoredRect(design, h);
        EXPECT_EQ(placed.Left, design.Left);
        EXPECT_EQ(h - placed.Bottom(), Design::ClientHeight - design.Bottom());
        EXPECT_EQ(placed.Width, design.Width);
        EXPECT_EQ(placed.Height, design.Height);
    }
    EXPECT_EQ(InOptionsGroup(Design::ButtonFont, h).Top, AnchoredRect(Design::GroupBoxOptions, h).Top + 39);
    EXPECT_EQ(StatusBarRect(w, h), (TRect{0, 677, 1000, 23}));
}

TEST(Layout, AtTheSmallestSizeTheScrollBoxStillShowsAndNothingBelowItOverlapsIt) {
    const int w = Design::MinimumOuterWidth - (Design::OuterWidth - Design::ClientWidth);
    const int h = Design::MinimumOuterHeight - (Design::OuterHeight - Design::ClientHeight);
    const TRect box = ScrollBoxRect(w, h);
    EXPECT_GT(box.Width, 0);
    EXPECT_GT(box.Height, 0);
    EXPECT_LE(box.Bottom(), AnchoredRect(Design::RadioGroupGrid, h).Top);
    EXPECT_LE(box.Bottom(), AnchoredRect(Design::ButtonZoom, h).Top);
}

TEST(Layout, TheGridIntervalsFillTheirFrameBelowItsCaptionWithoutOverlapping) {
    const TRect group = Design::RadioGroupGrid;
    for (int textHeight : {12, 13, 14, 16}) {
        int previousBottom = group.Top + textHeight;  // the caption's line
        for (int i = 0; i < 8; ++i) {
            const TRect item = RadioItemRect(group, i, 8, textHeight);
            EXPECT_GE(item.Top, previousBottom) << "item " << i << " text " << textHeight;
            EXPECT_GE(item.Height, textHeight) << "item " << i << " text " << textHeight;
            EXPECT_GT(item.Left, group.Left);
            EXPECT_LT(item.Right(), group.Right());
            previousBottom = item.Bottom();
        }
        EXPECT_LT(previousBottom, group.Bottom()) << "text " << textHeight;
        // Whatever the rows leave over is split above and below them.
        const int below = group.Bottom() - previousBottom;
        EXPECT_LE(below, 8) << "text " << textHeight;
    }
}

TEST(MessageBoxTextTest, TheRunsCarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(MessageBoxText("one\rtwo\r"), "one\r\ntwo\r\n");
    EXPECT_EQ(MessageBoxText("one\r\ntwo"), "one\r\ntwo");
    EXPECT_EQ(MessageBoxText(""), "");
}

}  // namespace
}  // namespace gridloom
