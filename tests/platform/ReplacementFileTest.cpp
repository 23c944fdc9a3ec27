// Replacing a file whole: what lies at the target decides what is replaced (links are
// followed, anything but a regular file is refused), what the new file inherits, and that
// no temporary file outlives its writer for long.
#include "platform/ReplacementFile.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "TempFolder.h"

namespace gridloom {
namespace {

constexpr uid_t Nobody = 65534;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct stat Lstat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// The names in a folder.
std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

bool Replace(const std::string& target, const std::string& text, TReplacementFile::TStep* failed = nullptr) {
    TReplacementFile file(target);
    file.Write(text);
    const bool ok = file.Commit(false);
    if (failed) *failed = file.FailedStep();
    return ok;
}

// ---- what lies at the target ----

struct TTargetCase {
    const char* Name;
    // Lays out the folder and returns the name to replace.
    std::function<std::string(const std::string& folder)> Make;
    const char* Replaced;  // the file that must end up holding the new text, or "" when refused
    TReplacementFile::TStep Failed;
    const char* Kind;  // TargetKind() when refused as not a regular file
    bool NeedsRoot = false;
};

void PrintTo(const TTargetCase& c, std::ostream* out) { *out << c.Name; }

const TTargetCase TargetCases[] = {
    {"NewFile", [](const std::string& d) { return d + "/out"; }, "out", TReplacementFile::TStep::None, ""},
    {"ExistingFile",
     [](const std::string& d) {
         Write(d + "/out", "old");
         return d + "/out";
     },
     "out", TReplacementFile::TStep::None, ""},
    {"LinkToFile",
     [](const std::string& d) {
         Write(d + "/real", "old");
         EXPECT_EQ(::symlink("real", (d + "/out").c_str()), 0);
         return d + "/out";
     },
     "real", TReplacementFile::TStep::None, ""},
    {"ChainOfLinksAcrossFolders",
     [](const std::string& d) {
         std::filesystem::create_directory(d + "/sub");
         Write(d + "/sub/real", "old");
         EXPECT_EQ(::symlink("sub/middle", (d + "/out").c_str()), 0);
         EXPECT_EQ(::symlink("real", (d + "/sub/middle").c_str()), 0);
         return d + "/out";
     },
     "sub/real", TReplacementFile::TStep::None, ""},
    {"LinkToNothingCreatesWhatItNames",
     [](const std::string& d) {
         EXPECT_EQ(::symlink("named", (d + "/out").c_str()), 0);
         return d + "/out";
     },
     "named", TReplacementFile::TStep::None, ""},
    {"Folder",
     [](const std::string& d) {
         std::filesystem::create_directory(d + "/out");
         return d + "/out";
     },
     "", TReplacementFile::TStep::Target, "a folder"},
    {"Pipe",
     [](const std::string& d) {
         EXPECT_EQ(::mkfifo((d + "/out").c_str(), 0666), 0);
         return d + "/out";
     },
     "", TReplacementFile::TStep::Target, "a pipe"},
    {"LinkToDevice",
     [](const std::string& d) {
         EXPECT_EQ(::mknod((d + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
         EXPECT_EQ(::symlink("null", (d + "/out").c_str()), 0);
         return d + "/out";
     },
     "", TReplacementFile::TStep::Target, "a device", true},
    {"LinkLoop",
     [](const std::string& d) {
         EXPECT_EQ(::symlink("out", (d + "/out").c_str()), 0);
         return d + "/out";
     },
     "", TReplacementFile::TStep::Create, ""},
};

class ReplacementTarget : public ::testing::TestWithParam<TTargetCase> {
protected:
    test::TTempFolder Folder;
};

TEST_P(ReplacementTarget, ReplacesOnlyARegularFileAndKeepsLinks) {
    const TTargetCase& c = GetParam();
    if (c.NeedsRoot && ::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
    const std::string target = c.Make(Folder.Path());
    struct stat before {};
    const bool existed = ::lstat(target.c_str(), &before) == 0;
    const std::set<std::string> namesBefore = Names(Folder.Path());

    TReplacementFile file(target);
    file.Write("new");
    const bool ok = file.Commit(false);
    EXPECT_EQ(ok, c.Failed == TReplacementFile::TStep::None);
    EXPECT_EQ(file.FailedStep(), c.Failed);
    EXPECT_EQ(file.TargetKind(), c.Kind);
    if (ok) {
        EXPECT_EQ(Read(Folder / c.Replaced), "new");
        EXPECT_EQ(file.RealTarget(), Folder / c.Replaced);
    }
    // The name given is what it was: a link stays the same link, a node the same node.
    const struct stat after = Lstat(target);
    if (existed && (S_ISLNK(before.st_mode) || !ok)) {
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
    }
    // Nothing else is left in the folder.
    std::set<std::string> expected = namesBefore;
    if (ok && std::string(c.Replaced).find('/') == std::string::npos) expected.insert(c.Replaced);
    EXPECT_EQ(Names(Folder.Path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Targets, ReplacementTarget, ::testing::ValuesIn(TargetCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- what the new file inherits ----

class ReplacementFileTest : public ::testing::Test {
protected:
    test::TTempFolder Folder;
    std::string Target = Folder / "out";
};

TEST_F(ReplacementFileTest, NewFileTakesThePermissionBitsButNeverSetIdOrSticky) {
    const std::pair<mode_t, mode_t> cases[] = {{0640, 0640}, {0444, 0444}, {04755, 0755}, {02770, 0770}, {01666, 0666}};
    for (const auto& [old, expected] : cases) {
        Write(Target, "old");
        ASSERT_EQ(::chmod(Target.c_str(), old), 0);
        ASSERT_TRUE(Replace(Target, "new"));
        EXPECT_EQ(Lstat(Target).st_mode & 07777, expected) << std::oct << old;
        // SetMode obeys the same mask.
        TReplacementFile file(Target);
        EXPECT_TRUE(file.SetMode(06777));
        ASSERT_TRUE(file.Commit(false));
        EXPECT_EQ(Lstat(Target).st_mode & 07777, mode_t(0777));
    }
}

TEST_F(ReplacementFileTest, RootKeepsTheOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file away";
    Write(Target, "old");
    ASSERT_EQ(::chown(Target.c_str(), Nobody, Nobody), 0);
    ASSERT_TRUE(Replace(Target, "new"));
    EXPECT_EQ(Lstat(Target).st_uid, Nobody);
    EXPECT_EQ(Lstat(Target).st_gid, Nobody);
}

TEST_F(ReplacementFileTest, AFailedRenameLeavesNoTemporaryFile) {
    {
        TReplacementFile file(Target);
        ASSERT_TRUE(file.Write("new"));
        // A folder that appears in the target's place after the start cannot be replaced.
        std::filesystem::create_directories(Target + "/inside");
        EXPECT_FALSE(file.Commit(false));
        EXPECT_EQ(file.FailedStep(), TReplacementFile::TStep::Rename);
    }
    EXPECT_EQ(Names(Folder.Path()), std::set<std::string>{"out"});
}

// ---- leftovers ----

// Runs body in a child process and gives its wait status.
int InChild(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

// Any name the folder can hold can be written and replaced, however little room it leaves
// for the temporary file's longer name, and a killed writer's file is still cleaned up.
TEST_F(ReplacementFileTest, TheLongestNamesAreWrittenAndReplacedToo) {
    for (const std::size_t length : {std::size_t(240), std::size_t(250), std::size_t(NAME_MAX)}) {
        const std::string name(length, 'n');
        const std::string target = Folder / name;
        ASSERT_TRUE(Replace(target, "first")) << length;
        const int status = InChild([&] {
            TReplacementFile file(target);
            file.Write("half");
            ::raise(SIGKILL);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << length;
        ASSERT_TRUE(Replace(target, "second")) << length;
        EXPECT_EQ(Read(target), "second") << length;
        EXPECT_EQ(Names(Folder.Path()), std::set<std::string>{name}) << length;
        std::filesystem::remove(target);
    }
}

TEST_F(ReplacementFileTest, AKilledWritersFileIsRemovedByTheNextReplacement) {
    const int status = InChild([&] {
        TReplacementFile file(Target);
        file.Write("half");
        ::raise(SIGKILL);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(Names(Folder.Path()).size(), 1u);  // its temporary file is left

    ASSERT_TRUE(Replace(Target, "new"));
    EXPECT_EQ(Names(Folder.Path()), std::set<std::string>{"out"});
    EXPECT_EQ(Read(Target), "new");
}

TEST_F(ReplacementFileTest, OnlyUnlockedLeftoversOfTheSameTargetAreRemoved) {
    Write(Folder / "out.tmpAbCd1234", "stale");             // removed
    Write(Folder / "other.tmpAbCd1234", "someone else's");  // another target's
    Write(Folder / "out.tmpAbCd123", "not our pattern");    // one letter short
    Write(Folder / "out.tmpAbCd-234", "not our pattern");
    Write(Folder / "out.tmpLinked12", "linked");  // a second name: not ours alone
    ASSERT_EQ(::link((Folder / "out.tmpLinked12").c_str(), (Folder / "kept-link").c_str()), 0);
    ASSERT_EQ(::symlink("elsewhere", (Folder / "out.tmpSymlink1").c_str()), 0);

    TReplacementFile live(Target);  // a writer still at work: its file is locked
    ASSERT_TRUE(live.Write("live"));
    const std::set<std::string> withLive = Names(Folder.Path());

    ASSERT_TRUE(Replace(Target, "new"));
    std::set<std::string> expected = withLive;
    expected.erase("out.tmpAbCd1234");
    expected.insert("out");
    EXPECT_EQ(Names(Folder.Path()), expected);

    // The live writer finishes undisturbed.
    EXPECT_TRUE(live.Commit(false));
    EXPECT_EQ(Read(Target), "live");
}

TEST_F(ReplacementFileTest, AFileSizeLimitIsAWriteErrorNotADeath) {
    const int status = InChild([&] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{1 << 16, 1 << 16};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(4);
        bool failedAsExpected = false;
        {
            TReplacementFile file(Target);
            const std::string big(1 << 17, 'x');
            const bool wrote = file.Write(big);
            failedAsExpected = !wrote && file.FailedStep() == TReplacementFile::TStep::Write &&
                               file.FailedErrno() == EFBIG && !file.Commit(false);
        }
        ::_exit(failedAsExpected ? 0 : 5);
    });
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Names(Folder.Path()).empty());
}

}  // namespace
}  // namespace gridloom
