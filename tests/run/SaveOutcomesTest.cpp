// Every outcome of the save step, on the real file system with the real BMP save: as the
// current user, and as another user (nobody) when the tests run as root. Writing as root
// differs: root may write any file, so the read-only refusal must come from the save itself.
#include <gtest/gtest.h>

#include <memory>

#include "RunFakes.h"

namespace gridloom {
namespace {

using test::ModeOf;
using test::ReadFile;
using test::TFakeHost;
using test::TFakeServices;
using test::WriteFile;

constexpr rlim_t OneMiB = 1 << 20;  // far below a whole image
const std::string Old = "the previous overlay";

struct TSaveRun {
    std::unique_ptr<TFakeHost> Host = std::make_unique<TFakeHost>();
    TFakeServices Services;
    TRunOutcome Outcome{};

    TSaveRun(const std::string& folder, const std::string& output, bool answerYes) {
        Host->Countries = folder + "/Countries.dat";
        WriteFile(Host->Countries, test::SmallCountries());
        Host->AnswerConfirm = answerYes;
        TGenerationRun run(*Host, Services);
        Outcome = run.MakeMasterImage(output);
    }

    // The status lines from the first "saving" on.
    std::vector<std::string> SaveStatuses() const {
        auto all = Host->Statuses();
        auto first = std::find(all.begin(), all.end(), "Overlay master image, saving image, please wait...");
        return std::vector<std::string>(first, all.end());
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : Host->Events) n += e.rfind(prefix, 0) == 0;
        return n;
    }
};

const std::string Saving = "Overlay master image, saving image, please wait...";
const std::string NotSaved = "Overlay master image could not be saved";
const std::string Cancelled = "Overlay master image save cancelled by user";

bool IsWholeImage(const std::string& path) {
    const std::string content = ReadFile(path);
    return content.size() > 7920u * 3960u && content.compare(0, 2, "BM") == 0;
}

// ---- the rows, each in a folder of its own, run by whichever user calls them ----

void SaveSucceeds(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::Saved);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, "Overlay master image saved to " + out}));
    EXPECT_EQ(r.Count("confirm:") + r.Count("inform:"), 0);
    EXPECT_TRUE(IsWholeImage(out));
    EXPECT_EQ(ModeOf(out) & 0222, 0u);
}

void ReadOnlyYesSecondSaveSucceeds(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    WriteFile(out, Old);
    ASSERT_EQ(::chmod(out.c_str(), 0440), 0);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::Saved);
    EXPECT_EQ(r.SaveStatuses(),
              (std::vector<std::string>{Saving, NotSaved, Saving, "Overlay master image saved to " + out}));
    EXPECT_EQ(r.Count("confirm:Do you wish to overwrite the existing read-only file?"), 1);
    EXPECT_EQ(r.Count("inform:"), 0);
    EXPECT_TRUE(IsWholeImage(out));
    EXPECT_EQ(ModeOf(out), mode_t(0440));  // the attributes as they were before
}

void ReadOnlyNo(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    WriteFile(out, Old);
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    TSaveRun r(folder, out, false);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveCancelled);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, NotSaved, Cancelled}));
    EXPECT_EQ(r.Count("confirm:"), 1);
    EXPECT_EQ(r.Count("inform:"), 0);
    EXPECT_EQ(ReadFile(out), Old);
    EXPECT_EQ(ModeOf(out), mode_t(0444));
    EXPECT_EQ(r.Host->Events.back(), "zoom:on");
}

// Needs files limited in size, so that the second save fails too.
void ReadOnlyYesSecondSaveFails(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    WriteFile(out, Old);
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveFailed);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, NotSaved, Saving, NotSaved}));
    EXPECT_EQ(r.Count("confirm:"), 1);
    EXPECT_EQ(r.Count("inform:" + SaveErrorText(out)), 1);
    EXPECT_EQ(SaveErrorText(out), "Error saving overlay master image to " + out +
                                      ".  If Skylune is open, you must close it before trying again.");
    // The failed save destroyed nothing; only the read-only attribute is gone.
    EXPECT_EQ(ReadFile(out), Old);
    EXPECT_EQ(ModeOf(out), mode_t(0644));
    EXPECT_EQ(r.Host->Events.back(), "zoom:on");
}

void MissingFolder(const std::string& folder) {
    const std::string out = folder + "/absent/Overlay.bmp";
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveFailed);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, NotSaved}));
    EXPECT_EQ(r.Count("confirm:"), 0);
    EXPECT_EQ(r.Count("inform:" + SaveErrorText(out)), 1);
    EXPECT_EQ(ModeOf(out), mode_t(-1));
}

// Needs files limited in size: a writable file that cannot be replaced.
void WritableButFails(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    WriteFile(out, Old);
    ASSERT_EQ(::chmod(out.c_str(), 0664), 0);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveFailed);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, NotSaved}));
    EXPECT_EQ(r.Count("confirm:"), 0);
    EXPECT_EQ(r.Count("inform:"), 1);
    EXPECT_EQ(ReadFile(out), Old);
    EXPECT_EQ(ModeOf(out), mode_t(0664));
    EXPECT_FALSE(r.Host->Events.empty());
}

void FolderInTheWay(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    ASSERT_EQ(::mkdir(out.c_str(), 0555), 0);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveFailed);
    EXPECT_EQ(r.Count("confirm:"), 0);  // a read-only folder is not a read-only file
    EXPECT_EQ(r.Count("inform:"), 1);
    EXPECT_EQ(ModeOf(out), mode_t(0555));
}

// Only another user than root is kept out of a folder without write permission.
void FolderNotWritable(const std::string& folder) {
    const std::string sub = folder + "/locked";
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    WriteFile(sub + "/Countries.dat", test::SmallCountries());
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    TSaveRun r(sub, sub + "/Overlay.bmp", true);
    EXPECT_EQ(r.Outcome, TRunOutcome::SaveFailed);
    EXPECT_EQ(r.SaveStatuses(), (std::vector<std::string>{Saving, NotSaved}));
    EXPECT_EQ(r.Count("inform:"), 1);
    EXPECT_EQ(ModeOf(sub + "/Overlay.bmp"), mode_t(-1));
    ::chmod(sub.c_str(), 0755);
}

void TwoRunsInARow(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    { TSaveRun first(folder, out, true); ASSERT_EQ(first.Outcome, TRunOutcome::Saved); }
    const mode_t afterFirst = ModeOf(out);
    TSaveRun second(folder, out, true);
    EXPECT_EQ(second.Outcome, TRunOutcome::Saved);
    EXPECT_EQ(second.Count("confirm:"), 1);
    EXPECT_EQ(ModeOf(out), afterFirst);
    EXPECT_EQ(ModeOf(out) & 0222, 0u);
}

// ---- as the current user ----

class SaveOutcomes : public ::testing::Test {
protected:
    test::TTempFolder Folder;
};

TEST_F(SaveOutcomes, SaveSucceeds) { SaveSucceeds(Folder.Path()); }
TEST_F(SaveOutcomes, ReadOnlyYesSecondSaveSucceeds) { ReadOnlyYesSecondSaveSucceeds(Folder.Path()); }
TEST_F(SaveOutcomes, ReadOnlyNo) { ReadOnlyNo(Folder.Path()); }
TEST_F(SaveOutcomes, ReadOnlyYesSecondSaveFails) {
    test::InChild([&] { ReadOnlyYesSecondSaveFails(Folder.Path()); }, false, OneMiB);
}
TEST_F(SaveOutcomes, MissingFolder) { MissingFolder(Folder.Path()); }
TEST_F(SaveOutcomes, WritableButFails) {
    test::InChild([&] { WritableButFails(Folder.Path()); }, false, OneMiB);
}
TEST_F(SaveOutcomes, FolderInTheWay) { FolderInTheWay(Folder.Path()); }
TEST_F(SaveOutcomes, FolderNotWritable) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes in any folder; covered as nobody";
    FolderNotWritable(Folder.Path());
}
TEST_F(SaveOutcomes, TwoRunsInARow) { TwoRunsInARow(Folder.Path()); }

// ---- as nobody, when we are root ----

class SaveOutcomesAsAnotherUser : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "only root can become another user";
        ASSERT_EQ(::chown(Folder.Path().c_str(), test::NobodyId, test::NobodyId), 0);
    }
    void AsNobody(void (*row)(const std::string&), rlim_t limit = 0) {
        const std::string folder = Folder.Path();
        test::InChild([&] { row(folder); }, true, limit);
    }
    test::TTempFolder Folder;
};

TEST_F(SaveOutcomesAsAnotherUser, SaveSucceeds) { AsNobody(SaveSucceeds); }
TEST_F(SaveOutcomesAsAnotherUser, ReadOnlyYesSecondSaveSucceeds) { AsNobody(ReadOnlyYesSecondSaveSucceeds); }
TEST_F(SaveOutcomesAsAnotherUser, ReadOnlyNo) { AsNobody(ReadOnlyNo); }
TEST_F(SaveOutcomesAsAnotherUser, ReadOnlyYesSecondSaveFails) { AsNobody(ReadOnlyYesSecondSaveFails, OneMiB); }
TEST_F(SaveOutcomesAsAnotherUser, MissingFolder) { AsNobody(MissingFolder); }
TEST_F(SaveOutcomesAsAnotherUser, WritableButFails) { AsNobody(WritableButFails, OneMiB); }
TEST_F(SaveOutcomesAsAnotherUser, FolderNotWritable) { AsNobody(FolderNotWritable); }

}  // namespace
}  // namespace gridloom
