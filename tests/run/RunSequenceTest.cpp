// The run's steps as its owner sees them: status lines, dialogs, and the outcome the owner
// sets its cursor, zoom button and window from.
#include <gtest/gtest.h>

#include "RunFakes.h"
#include "render/Projection.h"

namespace gridloom {
namespace {

using test::TFakeHost;
using RunSequence = test::TRunTest;

TEST_F(RunSequence, MissingDataOffersTheDownloadThenClosesTheWindow) {
    Host.Countries = Folder / "nowhere/Countries.dat";
    Host.AnswerYesNo = true;
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DataMissing);

    const std::string text = "Gridloom cannot find the file " + Host.Countries +
                             "!\rWould you like to download the zipped Country and State boundary data "
                             "from my Web site?\r\rhttp://www.tarnwick.example/software/countries.zip (size 459KB)";
    const std::vector<std::string> expected = {"ask:Skylune - Country and State boundary data missing|" + text};
    EXPECT_EQ(Host.Events, expected);
    ASSERT_EQ(Services.Opened.size(), 1u);
    EXPECT_EQ(Services.Opened[0], "http://www.tarnwick.example/software/countries.zip");
    EXPECT_EQ(Host.Bitmap.Width(), 0);
    EXPECT_TRUE(run.Closed());

    // The window is gone: nothing more may happen through it.
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Ignored);
    run.RequestClose();
    EXPECT_EQ(Host.Events, expected);
}

TEST_F(RunSequence, AnEmptyListIsMissingDataAndNoOpensNothing) {
    std::string terminatorOnly;
    test::AppendRecord(terminatorOnly, 0, {});
    test::WriteFile(Host.Countries, terminatorOnly);
    Host.AnswerYesNo = false;
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DataMissing);
    EXPECT_TRUE(Services.Opened.empty());
    EXPECT_TRUE(run.Closed());
    EXPECT_EQ(test::ModeOf(Output), mode_t(-1));
}

TEST_F(RunSequence, SuccessfulRunInOrder) {
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);

    const std::vector<std::string> expected = {
        "status:Creating overlay master image, please wait...",
        "status:Overlay master image, allocating memory...",
        "status:Overlay master image, generating country bondaries",
        "status:Overlay master image, saving image, please wait...",
        "status:Overlay master image saved to " + Output,
    };
    EXPECT_EQ(Host.Events, expected);
    ASSERT_FALSE(Host.Progress.empty());
    EXPECT_EQ(Host.Progress.back(), 0);
    EXPECT_GE(Host.Refreshes, 1);
    EXPECT_TRUE(run.LastError().empty());

    EXPECT_EQ(Host.Bitmap.Width(), MasterWidth);
    EXPECT_EQ(Host.Bitmap.Height(), MasterHeight);
    EXPECT_EQ(Host.Bitmap.Canvas().PolyFillMode, TPolyFillMode::Winding);
    EXPECT_EQ(Host.Bitmap.Canvas().Pen.Style, TPenStyle::Solid);

    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(Output)));
    const std::string file = test::ReadFile(Output);
    ASSERT_GT(file.size(), std::size_t(MasterWidth) * MasterHeight);
    EXPECT_EQ(file.substr(0, 2), "BM");
}

TEST_F(RunSequence, LowMemoryCancelEndsTheRunLeavingEverythingAsItWas) {
    Services.MemoryMB = 5;
    Host.AnswerOkCancel = false;
    Host.Bitmap.SetWidth(10);
    Host.Bitmap.SetHeight(10);
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::LowMemoryCancelled);

    const std::string text =
        "Less than 6 MB physical memory available (5 MB found).  Generating the master overlay bitmap on "
        "this PC may take many minutes, so instead you can download the zipped overlay bitmap from the Web "
        "site (413KB).  Click  Help for more information on downloading.\r\rOK to continue to generate the "
        "master overlay, or cancel?";
    const std::vector<std::string> expected = {"warn:" + text};
    EXPECT_EQ(Host.Events, expected);
    EXPECT_EQ(Host.Bitmap.Width(), 10);
    EXPECT_EQ(test::ModeOf(Output), mode_t(-1));
    EXPECT_FALSE(run.Closed());
}

TEST_F(RunSequence, LowMemoryOkCarriesOn) {
    Services.MemoryMB = 0;
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_EQ(Host.Events[0].rfind("warn:Less than 6 MB physical memory available (0 MB found).", 0), 0u);
}

TEST_F(RunSequence, SixMiBIsEnough) {
    Services.MemoryMB = 6;
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_FALSE(Host.Saw("warn:"));
}

// The meridian at 0 degrees crosses the land square at 5 N.
TColor GridCrossingLand(TFakeHost& host) {
    TPoint p = LonLatToPixel(0, 5);
    return host.Bitmap.Pixel(p.X, p.Y);
}

TEST_F(RunSequence, GridUnderOrOverTheCountries) {
    TGenerationRun run(Host, Host, Host, Services);
    Host.Settings.OnTop = false;
    ASSERT_EQ(run.MakeMasterImage(Folder / "under.bmp"), TRunOutcome::Saved);
    EXPECT_EQ(GridCrossingLand(Host), clGreen);
    EXPECT_EQ(Host.Settings.OnTopReads, 2);

    Host.Settings.OnTop = true;
    ASSERT_EQ(run.MakeMasterImage(Folder / "over.bmp"), TRunOutcome::Saved);
    EXPECT_EQ(GridCrossingLand(Host), clRed);
    // Sea away from the land and the grid stays navy.
    TPoint sea = LonLatToPixel(-105, -45);
    EXPECT_EQ(Host.Bitmap.Pixel(sea.X, sea.Y), clNavy);
}

TEST_F(RunSequence, GridOnTopIsReadAgainAfterTheBoundaries) {
    // Ticked while the boundaries were being drawn: the grid goes both under and over.
    int reads = 0;
    Host.Settings.OnTopHook = [&] { return ++reads > 1; };
    TGenerationRun run(Host, Host, Host, Services);
    ASSERT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(GridCrossingLand(Host), clRed);
}

TEST_F(RunSequence, OutOfMemoryWhileDrawingEndsTheRunCleanly) {
    Host.Settings.GridIndexHook = [] { throw std::bad_alloc(); };
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DrawFailed);

    const std::vector<std::string> tail = {
        "status:Overlay master image could not be generated",
        "inform:Error generating overlay master image: not enough memory",
    };
    ASSERT_GE(Host.Events.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(Host.Events.end() - tail.size(), Host.Events.end()), tail);
    EXPECT_FALSE(Host.Saw("status:Overlay master image, saving"));
    EXPECT_EQ(Host.Progress.back(), 0);
    EXPECT_EQ(test::ModeOf(Output), mode_t(-1));
    EXPECT_EQ(run.LastError(), "not enough memory");
    EXPECT_FALSE(run.Running());
}

TEST_F(RunSequence, AnyErrorWhileDrawingIsReportedWithItsText) {
    Host.OnRefresh = [] { throw std::runtime_error("display lost"); };
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DrawFailed);
    EXPECT_TRUE(Host.Saw("inform:Error generating overlay master image: display lost"));
    EXPECT_EQ(test::ModeOf(Output), mode_t(-1));

    // The failure leaves the run ready for the next one.
    Host.OnRefresh = nullptr;
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
}

// The window's zoom button comes back after every run that went through to its end, saved
// or not; it stays off after the memory warning's Cancel, and the window closes without data.
TEST(RunOutcome, RunsThatReachedTheirEnd) {
    EXPECT_TRUE(RunReachedItsEnd(TRunOutcome::Saved));
    EXPECT_TRUE(RunReachedItsEnd(TRunOutcome::SaveCancelled));
    EXPECT_TRUE(RunReachedItsEnd(TRunOutcome::SaveFailed));
    EXPECT_TRUE(RunReachedItsEnd(TRunOutcome::DrawFailed));
    EXPECT_FALSE(RunReachedItsEnd(TRunOutcome::DataMissing));
    EXPECT_FALSE(RunReachedItsEnd(TRunOutcome::LowMemoryCancelled));
    EXPECT_FALSE(RunReachedItsEnd(TRunOutcome::Ignored));
}

}  // namespace
}  // namespace gridloom
