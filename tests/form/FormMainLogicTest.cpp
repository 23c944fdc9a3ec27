// The main window's decisions with no toolkit: what a start shows, what a close stores, the
// up-downs, clicks that arrive while a run works, the missing data that closes the window,
// and the zoom.
#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "render/Projection.h"

namespace gridloom::test {
namespace {

using FormLogic = FormLogicTest;

TEST(HostFolder, IsThePathUpToItsLastSeparatorOrDriveColon) {
    EXPECT_EQ(HostFolderOf("D:\\Apps\\Skylune\\Skylune.exe"), "D:\\Apps\\Skylune\\");
    EXPECT_EQ(HostFolderOf("/opt/skylune/Skylune.exe"), "/opt/skylune/");
    EXPECT_EQ(HostFolderOf("C:Skylune.exe"), "C:");
    EXPECT_EQ(HostFolderOf("Skylune.exe"), "");
    EXPECT_EQ(HostFolderOf(""), "");
}

// Nothing stored, and Skylune not registered.
class FirstStart : public FormLogicTest {
protected:
    void SetUp() override {
        RegisterSkylune = false;
        FormLogicTest::SetUp();
    }
};

TEST_F(FirstStart, OnAnEmptyRegistryShowsTheDefaultsAndTheFirstCloseWritesThem) {
    TFakeWindow& window = Open();
    const TFakeView& view = window.View;
    EXPECT_EQ(view.ItemIndex, 3);
    EXPECT_FALSE(view.Boxes.at(TFormCheckBox::ShowScale));
    EXPECT_FALSE(view.Boxes.at(TFormCheckBox::GridOnTop));
    EXPECT_TRUE(view.Boxes.at(TFormCheckBox::ShowBoundaries));
    EXPECT_EQ(view.Positions.at(TFormWidth::Gridline), 1);
    EXPECT_EQ(view.Positions.at(TFormWidth::Boundary), 1);
    ASSERT_NE(view.Picture, nullptr);
    EXPECT_EQ(&window.Logic->MasterBitmap(), view.Picture.get());
    EXPECT_EQ(view.Picture->Canvas().Font, (TFont{"Arial", 11, fsBold, clBlack}));
    EXPECT_FALSE(view.ZoomEnabled);
    EXPECT_EQ(view.ZoomCaption, "Zoom in");
    EXPECT_EQ(view.Status, "");
    EXPECT_EQ(view.Progress, 0);
    // Both files are looked for in the current folder.
    EXPECT_EQ(window.Logic->CountriesFilePath(), "Countries.dat");
    EXPECT_EQ(window.Logic->OverlayFile(), "Overlay.bmp");
    // The display opens fitted into the inside of the scroll box's border.
    EXPECT_EQ(view.DisplayWidth, 728);
    EXPECT_EQ(view.DisplayHeight, 371);
    EXPECT_TRUE(view.Stretch);
    EXPECT_FALSE(view.ScrollBars);
    // A start reads; it writes nothing.
    EXPECT_EQ(Stored("GridSpacing"), std::nullopt);
    EXPECT_EQ(Stored("ShowBoundaries"), std::nullopt);

    // The first close writes every setting, as it was shown.
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridSpacing"), 3);
    EXPECT_EQ(Stored("Annotation"), 0);
    EXPECT_EQ(Stored("GridOnTop"), 0);
    EXPECT_EQ(Stored("GridlineWidth"), 1);
    EXPECT_EQ(Stored("BoundaryWidth"), 1);
    EXPECT_EQ(Stored("ShowBoundaries"), 1);
    EXPECT_EQ(StoredString("FontName"), "Arial");
    EXPECT_EQ(Stored("FontSize"), 11);
    EXPECT_EQ(Stored("FontStyle"), 1);
}

TEST_F(FormLogic, SettingsComeBackAfterACloseButTheFontStartsAgainAsArial) {
    TFakeWindow& window = Open();
    EXPECT_EQ(window.Logic->CountriesFilePath(), Skylune + "Countries.dat");
    EXPECT_EQ(window.Logic->OverlayFile(), Skylune + "Overlay.bmp");
    window.View.Pick(0);
    window.View.Tick(TFormCheckBox::ShowScale);
    window.View.Tick(TFormCheckBox::GridOnTop);
    window.View.Tick(TFormCheckBox::ShowBoundaries);
    window.View.Step(TFormWidth::Gridline, +1);
    window.View.Step(TFormWidth::Boundary, +1);
    window.View.Step(TFormWidth::Boundary, +1);
    window.View.FontDialog = [](TFont& font) {
        EXPECT_EQ(font, (TFont{"Arial", 11, fsBold, clBlack}));  // starts from the label font
        font = TFont{"Courier New", 14, fsItalic | fsUnderline, clRed};
        return true;
    };
    window.Logic->ButtonFontClick();
    EXPECT_EQ(window.View.Picture->Canvas().Font, (TFont{"Courier New", 14, fsItalic | fsUnderline, clRed}));
    CloseAndDestroy();

    EXPECT_EQ(StoredString("FontName"), "Courier New");
    EXPECT_EQ(Stored("FontSize"), 14);
    EXPECT_EQ(Stored("FontStyle"), 2 + 4);
    EXPECT_EQ(Stored("FontColour"), int32_t(clRed));

    TFakeWindow& again = Open();
    EXPECT_EQ(again.View.ItemIndex, 0);
    EXPECT_TRUE(again.View.Boxes.at(TFormCheckBox::ShowScale));
    EXPECT_TRUE(again.View.Boxes.at(TFormCheckBox::GridOnTop));
    EXPECT_FALSE(again.View.Boxes.at(TFormCheckBox::ShowBoundaries));
    EXPECT_EQ(again.View.Positions.at(TFormWidth::Gridline), 2);
    EXPECT_EQ(again.View.Positions.at(TFormWidth::Boundary), 3);
    const IRenderSettings& drawn = again.Logic->RenderSettings();
    EXPECT_EQ(drawn.GridIndex(), 0);
    EXPECT_TRUE(drawn.ShowScaleAnnotation());
    EXPECT_TRUE(drawn.GridOverlaysCountries());
    EXPECT_FALSE(drawn.ShowBoundaries());
    EXPECT_EQ(drawn.GridlineWidth(), 2);
    EXPECT_EQ(drawn.BoundaryWidth(), 3);
    EXPECT_EQ(again.View.Picture->Canvas().Font, (TFont{"Arial", 11, fsBold, clBlack}));

    // A cancelled font dialog changes nothing.
    again.View.FontDialog = [](TFont& font) {
        font.Name = "Wingdings";
        return false;
    };
    again.Logic->ButtonFontClick();
    EXPECT_EQ(again.View.Picture->Canvas().Font.Name, "Arial");
}

// Stored values the controls cannot show are shown as well as they can be, drawn as they
// are, and written back exactly as they were loaded until the user changes them.
TEST_F(FormLogic, OutOfRangeStoredValuesAreDrawnAndKeptAsStored) {
    Store("GridSpacing", 12);
    Store("GridlineWidth", 65538);
    Store("BoundaryWidth", 7);
    TFakeWindow& window = Open();
    EXPECT_EQ(window.View.ItemIndex, -1);                          // no button for it
    EXPECT_EQ(window.View.Positions.at(TFormWidth::Gridline), 2);  // the low 16 bits
    EXPECT_EQ(window.View.Positions.at(TFormWidth::Boundary), 5);  // held in the up-down's range
    const IRenderSettings& drawn = window.Logic->RenderSettings();
    EXPECT_EQ(drawn.GridIndex(), 12);  // drawn as 10 degrees
    EXPECT_EQ(drawn.GridlineWidth(), 65538);
    EXPECT_EQ(drawn.BoundaryWidth(), 7);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridSpacing"), 12);
    EXPECT_EQ(Stored("GridlineWidth"), 65538);
    EXPECT_EQ(Stored("BoundaryWidth"), 7);

    // A stored 7 is "(none)"; picking a button replaces what was stored.
    Store("GridSpacing", 7);
    Store("GridlineWidth", -65535);  // low word 1
    TFakeWindow& again = Open();
    EXPECT_EQ(again.View.ItemIndex, 7);
    EXPECT_EQ(again.View.Positions.at(TFormWidth::Gridline), 1);
    again.View.Pick(2);
    EXPECT_EQ(again.Logic->RenderSettings().GridIndex(), 2);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridSpacing"), 2);
    EXPECT_EQ(Stored("GridlineWidth"), -65535);
}

TEST_F(FormLogic, EachUpDownClickStoresItsPositionAsTheWidthDrawn) {
    Store("BoundaryWidth", 7);
    TFakeWindow& window = Open();
    const IRenderSettings& drawn = window.Logic->RenderSettings();
    window.View.Step(TFormWidth::Gridline, +1);
    EXPECT_EQ(drawn.GridlineWidth(), 2);
    EXPECT_EQ(window.Logic->GridlineWidthSetting().Value, 2);
    window.View.Step(TFormWidth::Gridline, +1);
    EXPECT_EQ(drawn.GridlineWidth(), 3);
    for (int i = 0; i < 4; ++i) window.View.Step(TFormWidth::Gridline, -1);
    EXPECT_EQ(drawn.GridlineWidth(), 1);  // no wrap below 1

    // The stored 7 stands until the up-down is clicked; then the position replaces it.
    EXPECT_EQ(drawn.BoundaryWidth(), 7);
    window.View.Step(TFormWidth::Boundary, +1);
    EXPECT_EQ(drawn.BoundaryWidth(), 5);
    window.View.Step(TFormWidth::Boundary, -1);
    EXPECT_EQ(drawn.BoundaryWidth(), 4);

    // A width still being typed when "Make image" is pressed is the one drawn.
    window.View.Typed[TFormWidth::Gridline] = 4;
    window.Logic->ButtonMakeClick();
    EXPECT_EQ(drawn.GridlineWidth(), 4);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridlineWidth"), 4);
    EXPECT_EQ(Stored("BoundaryWidth"), 4);
}

TEST_F(FormLogic, ATickDuringTheRunReachesItsLaterStage) {
    TFakeWindow& window = Open();
    // The 0-degree meridian crosses the land square: red only when the grid is drawn last.
    const TPoint meridian = LonLatToPixel(0, 5);
    window.View.Waiting.push_back([&] { window.View.Tick(TFormCheckBox::GridOnTop); });
    EXPECT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::Saved);
    EXPECT_EQ(window.View.Picture->Pixel(meridian.X, meridian.Y), clRed);
    EXPECT_EQ(window.View.Status, "Overlay master image saved to " + Skylune + "Overlay.bmp");
    EXPECT_TRUE(std::filesystem::exists(Skylune + "Overlay.bmp"));

    // Unticked again, the next run draws the land over the grid; it asks before replacing the
    // read-only image of the first.
    window.View.Waiting.push_back([&] { window.View.Tick(TFormCheckBox::GridOnTop); });
    window.View.Answers = {true};
    EXPECT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::Saved);
    EXPECT_EQ(window.View.Picture->Pixel(meridian.X, meridian.Y), clGreen);
    ASSERT_EQ(window.View.Messages.size(), 1u);
    EXPECT_EQ(window.View.Messages[0].Caption, "Confirm");
    EXPECT_EQ(window.View.Messages[0].Buttons, TMessageButtons::YesNo);
}

TEST_F(FormLogic, MakeImageAndCloseDuringARunWaitForItsEnd) {
    TFakeWindow& window = Open();
    TRunOutcome inner = TRunOutcome::Saved;
    bool busy = false;
    window.View.Waiting.push_back([&] {
        busy = window.View.Busy;
        inner = window.Logic->MakeMasterImage(window.Logic->OverlayFile());
        window.Logic->ButtonCloseClick();
        EXPECT_TRUE(window.View.Open);
        EXPECT_TRUE(window.Logic->Running());
    });
    EXPECT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::Saved);
    EXPECT_EQ(inner, TRunOutcome::Ignored);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(window.View.Busy);
    EXPECT_FALSE(window.View.Open);  // closed once the run had ended
    // The window is gone: a click that was still queued starts nothing.
    EXPECT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::Ignored);
}

TEST_F(FormLogic, MissingDataOffersTheDownloadAndClosesTheWindowStoringTheSettings) {
    std::filesystem::remove(Skylune + "Countries.dat");
    TFakeWindow& window = Open();
    window.View.Tick(TFormCheckBox::ShowScale);
    window.View.Tick(TFormCheckBox::ShowBoundaries);
    window.View.Answers = {true};
    window.Logic->ButtonMakeClick();
    ASSERT_EQ(window.View.Messages.size(), 1u);
    const TShownMessage& offer = window.View.Messages[0];
    EXPECT_EQ(offer.Caption, "Skylune - Country and State boundary data missing");
    EXPECT_EQ(offer.Icon, TMessageIcon::Question);
    EXPECT_EQ(offer.Buttons, TMessageButtons::YesNo);
    EXPECT_EQ(offer.Text.rfind("Gridloom cannot find the file " + Skylune + "Countries.dat!\r", 0), 0u);
    ASSERT_EQ(Services.Opened.size(), 1u);
    EXPECT_EQ(Services.Opened[0], CountriesDownloadUrl);
    EXPECT_FALSE(window.View.Open);
    EXPECT_FALSE(window.View.ZoomEnabled);

    window.Destroy();  // the program's end
    EXPECT_EQ(Stored("Annotation"), 1);
    EXPECT_EQ(Stored("ShowBoundaries"), 0);
}

TEST_F(FormLogic, ZoomIsOfferedAfterARunAndSwitchesBetweenFittedAndFullSize) {
    TFakeWindow& window = Open();
    TFakeView& view = window.View;
    ASSERT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::Saved);
    ASSERT_TRUE(view.ZoomEnabled);
    EXPECT_GT(view.Repaints, 0);

    window.Logic->ButtonZoomClick();
    EXPECT_TRUE(window.Logic->Zoomed());
    EXPECT_EQ(view.ZoomCaption, "Zoom out");
    EXPECT_EQ(view.DisplayWidth, 7920);
    EXPECT_EQ(view.DisplayHeight, 3960);
    EXPECT_FALSE(view.Stretch);
    EXPECT_TRUE(view.ScrollBars);
    // Zoomed, a larger window shows more of the same full-size image.
    view.ScrollWidth = 932;
    view.ScrollHeight = 475;
    window.Logic->ScrollBoxResize();
    EXPECT_EQ(view.DisplayWidth, 7920);
    EXPECT_TRUE(view.ScrollBars);

    window.Logic->ButtonZoomClick();
    EXPECT_EQ(view.ZoomCaption, "Zoom in");
    EXPECT_EQ(view.DisplayWidth, 928);
    EXPECT_EQ(view.DisplayHeight, 471);
    EXPECT_TRUE(view.Stretch);
    EXPECT_FALSE(view.ScrollBars);

    // A run started zoomed and cancelled at the low-memory warning leaves the full-size view
    // on a disabled button; only a run that ends offers the zoom again.
    window.Logic->ButtonZoomClick();
    Services.MemoryMB = 1;
    view.Answers = {false};
    EXPECT_EQ(window.Logic->MakeMasterImage(window.Logic->OverlayFile()), TRunOutcome::LowMemoryCancelled);
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0].Caption, "Warning");
    EXPECT_EQ(view.Messages[0].Icon, TMessageIcon::Warning);
    EXPECT_EQ(view.Messages[0].Buttons, TMessageButtons::OkCancel);
    EXPECT_FALSE(view.ZoomEnabled);
    EXPECT_EQ(view.ZoomCaption, "Zoom out");
    EXPECT_EQ(view.DisplayWidth, 7920);
    EXPECT_TRUE(window.View.Open);
}

}  // namespace
}  // namespace gridloom::test
