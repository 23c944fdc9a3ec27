// Every outcome of the save step, on the real file system with the real BMP save: as the
// current user, and as another user (nobody) when the tests run as root. Writing as root
// differs: root may write any file, so the read-only refusal must come from the save itself.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

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
    int Count(const std::string& prefix) const { return Host->Count(prefix); }
};

const std::string Saving = "Overlay master image, saving image, please wait...";
const std::string NotSaved = "Overlay master image could not be saved";
const std::string Cancelled = "Overlay master image save cancelled by user";

bool IsWholeImage(const std::string& path) {
    const std::string content = ReadFile(path);
    return content.size() > 7920u * 3960u && content.compare(0, 2, "BM") == 0;
}

// The previous overlay, with the given mode, where the run saves.
std::string OldOutput(const std::string& folder, mode_t mode) {
    const std::string out = folder + "/Overlay.bmp";
    WriteFile(out, Old);
    EXPECT_EQ(::chmod(out.c_str(), mode), 0);
    return out;
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
    const std::string out = OldOutput(folder, 0440);
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
    const std::string out = OldOutput(folder, 0444);
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
    const std::string out = OldOutput(folder, 0444);
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
    const std::string out = OldOutput(folder, 0664);
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

struct TSaveCase {
    const char* Name;
    void (*Row)(const std::string& folder);
    rlim_t Limit;         // when not 0, run in a child with files limited to this size
    bool OnlyAsNobody;    // root writes in any folder: the row holds for other users only
};

// CTest lists a row by its name rather than by the bytes of the case.
void PrintTo(const TSaveCase& row, std::ostream* out) { *out << row.Name; }

const TSaveCase SaveCases[] = {
    {"SaveSucceeds", SaveSucceeds, 0, false},
    {"ReadOnlyYesSecondSaveSucceeds", ReadOnlyYesSecondSaveSucceeds, 0, false},
    {"ReadOnlyNo", ReadOnlyNo, 0, false},
    {"ReadOnlyYesSecondSaveFails", ReadOnlyYesSecondSaveFails, OneMiB, false},
    {"MissingFolder", MissingFolder, 0, false},
    {"WritableButFails", WritableButFails, OneMiB, false},
    {"FolderInTheWay", FolderInTheWay, 0, false},
    {"FolderNotWritable", FolderNotWritable, 0, true},
    {"TwoRunsInARow", TwoRunsInARow, 0, false},
};

class SaveOutcomes : public ::testing::TestWithParam<TSaveCase> {
protected:
    test::TTempFolder Folder;
};

TEST_P(SaveOutcomes, AsTheCurrentUser) {
    const TSaveCase& c = GetParam();
    if (c.OnlyAsNobody && ::geteuid() == 0) GTEST_SKIP() << "root writes in any folder; covered as nobody";
    if (c.Limit == 0) {
        c.Row(Folder.Path());
    } else {
        test::InChild([&] { c.Row(Folder.Path()); }, false, c.Limit);
    }
}

TEST_P(SaveOutcomes, AsAnotherUserWhenRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can become another user";
    ASSERT_EQ(::chown(Folder.Path().c_str(), test::NobodyId, test::NobodyId), 0);
    const TSaveCase& c = GetParam();
    test::InChild([&] { c.Row(Folder.Path()); }, true, c.Limit);
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveOutcomes, ::testing::ValuesIn(SaveCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace gridloom
