// Clicks that arrive while a run lets window messages through must not disturb it.
#include <gtest/gtest.h>

#include "RunFakes.h"

namespace gridloom {
namespace {

using RunReentry = test::TRunTest;

TEST_F(RunReentry, SecondMakeDuringARunIsIgnored) {
    TGenerationRun run(Host, Host, Host, Services);
    std::vector<TRunOutcome> inner;
    Host.OnStatus = [&](const std::string&) {
        EXPECT_TRUE(run.Running());
        inner.push_back(run.MakeMasterImage(Folder / "second.bmp"));
    };
    EXPECT_EQ(run.MakeMasterImage(Folder / "first.bmp"), TRunOutcome::Saved);
    ASSERT_EQ(inner.size(), 5u);  // one for each status line of the run
    for (auto outcome : inner) EXPECT_EQ(outcome, TRunOutcome::Ignored);
    EXPECT_EQ(test::ModeOf(Folder / "second.bmp"), mode_t(-1));
    EXPECT_EQ(Host.Count("status:Overlay master image saved to "), 1);
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.CanStart());
}

TEST_F(RunReentry, CloseDuringARunWaitsForItsEnd) {
    TGenerationRun run(Host, Host, Host, Services);
    Host.OnStatus = [&](const std::string& text) {
        if (text == "Overlay master image, generating country bondaries") {
            run.RequestClose();
            run.RequestClose();  // impatient user: still one close
            EXPECT_FALSE(run.Closed());
        }
    };
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(Output)));
    EXPECT_EQ(Host.Statuses().back(), "Overlay master image saved to " + Output);
    EXPECT_TRUE(run.Closed());  // the owner closes now
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Ignored);
}

TEST_F(RunReentry, CloseWhileAskingAboutMissingDataClosesOnce) {
    Host.Countries = Folder / "absent.dat";
    TGenerationRun run(Host, Host, Host, Services);
    Host.OnDialog = [&] {
        run.RequestClose();
        EXPECT_FALSE(run.Closed());
    };
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DataMissing);
    EXPECT_TRUE(run.Closed());
    EXPECT_EQ(Host.Count("ask:"), 1);
}

TEST_F(RunReentry, MakeFromInsideADialogIsIgnored) {
    test::WriteFile(Output, "old");
    ASSERT_EQ(::chmod(Output.c_str(), 0444), 0);
    TGenerationRun run(Host, Host, Host, Services);
    Host.OnDialog = [&] { EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Ignored); };
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_EQ(Host.Count("confirm:"), 1);
}

TEST_F(RunReentry, CloseWhenIdleClosesAtOnce) {
    TGenerationRun run(Host, Host, Host, Services);
    ASSERT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    Host.Events.clear();
    run.RequestClose();
    EXPECT_TRUE(Host.Events.empty());
    EXPECT_TRUE(run.Closed());
    EXPECT_FALSE(run.CanStart());
}

TEST_F(RunReentry, CloseDuringAFailedRunStillCloses) {
    TGenerationRun run(Host, Host, Host, Services);
    Host.OnStatus = [&](const std::string&) { run.RequestClose(); };
    Host.Settings.GridIndexHook = [] { throw std::runtime_error("broken"); };
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DrawFailed);
    EXPECT_TRUE(run.Closed());
}

}  // namespace
}  // namespace gridloom
