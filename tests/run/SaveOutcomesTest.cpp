// Every outcome of the save step, on the real file system with the real BMP save: as the
// current user, and as another user (nobody) when the tests run as root. Writing as root
// differs: root may write any file, so the read-only refusal must come from the save itself.
#include <gtest/gtest.h>

#include <memory>
#include <sys/sysmacros.h>
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
const std::string Saving = "Overlay master image, saving image, please wait...";
const std::string NotSaved = "Overlay master image could not be saved";
const std::string Cancelled = "Overlay master image save cancelled by user";

struct TSaveRun {
    std::unique_ptr<TFakeHost> Host = std::make_unique<TFakeHost>();
    TFakeServices Services;
    TRunOutcome Outcome{};
    std::string LastError;

    TSaveRun(const std::string& folder, const std::string& output, bool answerYes) {
        Host->Countries = folder + "/Countries.dat";
        WriteFile(Host->Countries, test::SmallCountries());
        Host->AnswerConfirm = answerYes;
        TGenerationRun run(*Host, *Host, *Host, Services);
        Outcome = run.MakeMasterImage(output);
        LastError = run.LastError();
    }

    // The status lines from the first "saving" on.
    std::vector<std::string> SaveStatuses() const {
        auto all = Host->Statuses();
        auto first = std::find(all.begin(), all.end(), "Overlay master image, saving image, please wait...");
        return std::vector<std::string>(first, all.end());
    }
    int Count(const std::string& prefix) const { return Host->Count(prefix); }

    // A failed save as the user meets it: no question, the error message once, naming the
    // output, and the window's controls given back; the detail names the cause.
    void ExpectFailedWithoutQuestion(const std::string& out, const std::string& cause) const {
        EXPECT_EQ(Outcome, TRunOutcome::SaveFailed);
        EXPECT_EQ(SaveStatuses(), (std::vector<std::string>{Saving, NotSaved}));
        EXPECT_EQ(Count("confirm:"), 0);
        EXPECT_EQ(Count("inform:"), 1);
        EXPECT_EQ(Count("inform:" + SaveErrorText(out)), 1);
        EXPECT_TRUE(RunReachedItsEnd(Outcome));  // the window offers its zoom again
        EXPECT_NE(LastError.find(cause), std::string::npos) << LastError;
    }
};

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
    EXPECT_TRUE(RunReachedItsEnd(r.Outcome));
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
    // The failed save destroyed nothing, the read-only attribute included: the forced save
    // never clears it on the old file.
    EXPECT_EQ(ReadFile(out), Old);
    EXPECT_EQ(ModeOf(out), mode_t(0444));
    EXPECT_TRUE(RunReachedItsEnd(r.Outcome));
}

void MissingFolder(const std::string& folder) {
    const std::string out = folder + "/absent/Overlay.bmp";
    TSaveRun r(folder, out, true);
    r.ExpectFailedWithoutQuestion(out, "Cannot create a new file in the folder");
    EXPECT_EQ(ModeOf(out), mode_t(-1));
}

// Needs files limited in size: a writable file that cannot be replaced.
void WritableButFails(const std::string& folder) {
    const std::string out = OldOutput(folder, 0664);
    TSaveRun r(folder, out, true);
    r.ExpectFailedWithoutQuestion(out, "File too large");
    EXPECT_EQ(ReadFile(out), Old);
    EXPECT_EQ(ModeOf(out), mode_t(0664));
}

void FolderInTheWay(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    ASSERT_EQ(::mkdir(out.c_str(), 0555), 0);
    TSaveRun r(folder, out, true);
    // A read-only folder is not a read-only file: nothing to ask.
    r.ExpectFailedWithoutQuestion(out, "is a folder, not a regular file");
    EXPECT_EQ(ModeOf(out), mode_t(0555));
}

// A pipe or a device (here both with no write bit, so "read-only") is never replaced by a
// file, and the user is not asked to overwrite it.
void ExpectNodeKept(const std::string& folder, const std::string& out, mode_t type) {
    TSaveRun r(folder, out, true);
    r.ExpectFailedWithoutQuestion(out, "not a regular file");
    struct stat info {};
    ASSERT_EQ(::lstat((folder + "/Overlay.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IFMT, type);
}

void PipeInTheWay(const std::string& folder) {
    ASSERT_EQ(::mkfifo((folder + "/Overlay.bmp").c_str(), 0444), 0);
    ExpectNodeKept(folder, folder + "/Overlay.bmp", S_IFIFO);
}

// The same device as /dev/null, reached through a link.
void LinkToDeviceInTheWay(const std::string& folder) {
    ASSERT_EQ(::mknod((folder + "/Overlay.bmp").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(::symlink("Overlay.bmp", (folder + "/link.bmp").c_str()), 0);
    ExpectNodeKept(folder, folder + "/link.bmp", S_IFCHR);
}

// The link is followed to the read-only file it names; that file is replaced and stays
// read-only, and the link stays a link.
void LinkToReadOnlyFile(const std::string& folder) {
    const std::string real = OldOutput(folder, 0444);
    const std::string link = folder + "/link.bmp";
    ASSERT_EQ(::symlink("Overlay.bmp", link.c_str()), 0);
    TSaveRun r(folder, link, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::Saved);
    EXPECT_EQ(r.Count("confirm:"), 1);
    EXPECT_TRUE(IsWholeImage(real));
    EXPECT_EQ(ModeOf(real), mode_t(0444));
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// A set-user or set-group bit on the old file never passes to the image this process wrote.
void SetIdBitsAreDropped(const std::string& folder) {
    const std::string out = OldOutput(folder, 06755);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::Saved);
    EXPECT_TRUE(IsWholeImage(out));
    EXPECT_EQ(ModeOf(out), mode_t(0555));
}

// Root keeps the old file's owner and group.
void OwnerAndGroupKept(const std::string& folder) {
    const std::string out = OldOutput(folder, 0644);
    ASSERT_EQ(::chown(out.c_str(), test::NobodyId, test::NobodyId), 0);
    TSaveRun r(folder, out, true);
    EXPECT_EQ(r.Outcome, TRunOutcome::Saved);
    struct stat info {};
    ASSERT_EQ(::stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, test::NobodyId);
    EXPECT_EQ(info.st_gid, test::NobodyId);
    EXPECT_TRUE(IsWholeImage(out));
}

// Only another user than root is kept out of a folder without write permission.
void FolderNotWritable(const std::string& folder) {
    const std::string sub = folder + "/locked";
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    WriteFile(sub + "/Countries.dat", test::SmallCountries());
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    TSaveRun r(sub, sub + "/Overlay.bmp", true);
    r.ExpectFailedWithoutQuestion(sub + "/Overlay.bmp", "Permission denied");
    EXPECT_EQ(ModeOf(sub + "/Overlay.bmp"), mode_t(-1));
    ::chmod(sub.c_str(), 0755);
}

void TwoRunsInARow(const std::string& folder) {
    const std::string out = folder + "/Overlay.bmp";
    {
        TSaveRun first(folder, out, true);
        ASSERT_EQ(first.Outcome, TRunOutcome::Saved);
    }
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
    rlim_t Limit;             // when not 0, run in a child with files limited to this size
    bool OnlyAsNobody;        // root writes in any folder: the row holds for other users only
    bool OnlyAsRoot = false;  // the row needs root's powers (device nodes, changing owners)
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
    {"PipeInTheWay", PipeInTheWay, 0, false},
    {"LinkToDeviceInTheWay", LinkToDeviceInTheWay, 0, false, true},
    {"LinkToReadOnlyFile", LinkToReadOnlyFile, 0, false},
    {"SetIdBitsAreDropped", SetIdBitsAreDropped, 0, false},
    {"OwnerAndGroupKept", OwnerAndGroupKept, 0, false, true},
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
    if (c.OnlyAsRoot && ::geteuid() != 0) GTEST_SKIP() << "needs root";
    if (c.Limit == 0) {
        c.Row(Folder.Path());
    } else {
        test::InChild([&] { c.Row(Folder.Path()); }, false, c.Limit);
    }
}

TEST_P(SaveOutcomes, AsAnotherUserWhenRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can become another user";
    if (GetParam().OnlyAsRoot) GTEST_SKIP() << "needs root";
    ASSERT_EQ(::chown(Folder.Path().c_str(), test::NobodyId, test::NobodyId), 0);
    const TSaveCase& c = GetParam();
    test::InChild([&] { c.Row(Folder.Path()); }, true, c.Limit);
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveOutcomes, ::testing::ValuesIn(SaveCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace gridloom
