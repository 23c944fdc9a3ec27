// A window's start and close as sessions: each file read once while it is unchanged, the
// close's stores written in one go, one patience for a lock held by another process, and a
// settings file its owner made read-only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "HeldLock.h"
#include "RegistryFixture.h"
#include "platform/RegistryStore.h"
#include "settings/RegistryVariables.h"

namespace gridloom {
namespace {

using test::RegistryFixture;
using RegistrySession = RegistryFixture;
using Clock = std::chrono::steady_clock;

struct stat StatOf(const std::filesystem::path& file) {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return st;
}

// Rewrites the file's bytes in place, keeping its inode, size and modification time.
void ChangeInPlaceUnseen(const std::filesystem::path& file, const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    struct stat before = StatOf(file);
    std::ifstream in(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), to);
    int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, text.data(), text.size(), 0), ssize_t(text.size()));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
}

TEST_F(RegistrySession, AStartReadsTheFileOnceWhileItIsUnchanged) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteInteger("GridSpacing", 4);
        r.WriteInteger("GridlineWidth", 2);
    });
    TRegistrySession start(TRegistrySession::TPurpose::Loading);
    EXPECT_EQ(TRegistryInteger("GridSpacing", 3).Value, 4);
    // The same bytes, inode, size and time: a session takes what it parsed before.
    ChangeInPlaceUnseen(UserFile(), "\"GridlineWidth\"=dword:00000002", "\"GridlineWidth\"=dword:00000005");
    EXPECT_EQ(TRegistryInteger("GridlineWidth", 1).Value, 2);
    // Another copy's store replaces the file: read afresh.
    std::thread([] {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
        registry.WriteInteger("GridSpacing", 6);
    }).join();
    EXPECT_EQ(TRegistryInteger("GridSpacing", 3).Value, 6);
    EXPECT_EQ(TRegistryInteger("GridlineWidth", 1).Value, 5);
}

TEST_F(RegistrySession, ACloseWritesItsStoresOnceOverWhatOthersStoredMeanwhile) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("GridSpacing", 4); });
    const ino_t before = StatOf(UserFile()).st_ino;
    {
        TRegistrySession close(TRegistrySession::TPurpose::Storing);
        {
            TRegistryInteger spacing("GridSpacing", 3), width("GridlineWidth", 1);
            spacing.Value = 0;
            width.Value = 3;
        }
        EXPECT_EQ(StatOf(UserFile()).st_ino, before);  // nothing written yet
        std::thread([] {
            TRegistry registry;
            ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
            registry.WriteInteger("BoundaryWidth", 5);
        }).join();
    }
    EXPECT_EQ(Stored("GridSpacing"), 0);
    EXPECT_EQ(Stored("GridlineWidth"), 3);
    EXPECT_EQ(Stored("BoundaryWidth"), 5);
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"GridSpacing", "BoundaryWidth", "GridlineWidth"}));
}

// A held lock is waited for once per start and once per close, not once per value. The
// bound is many times the patience, far from any speed: what it tells apart is one wait
// from ten.
TEST_F(RegistrySession, AHeldLockIsWaitedForOncePerStartAndOncePerClose) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("GridSpacing", 4); });
    const std::string before = ReadText(UserFile());
    const auto patience = std::chrono::milliseconds(300);
    SetRegistryLockPatience({patience, patience});
    const int lock = test::HoldUserLock();
    ASSERT_GE(lock, 0);

    std::vector<std::unique_ptr<TRegistryInteger>> settings;
    auto started = Clock::now();
    {
        TRegistrySession start(TRegistrySession::TPurpose::Loading);
        for (int i = 0; i < 10; ++i) settings.push_back(std::make_unique<TRegistryInteger>("GridSpacing", 3));
    }
    auto startTook = Clock::now() - started;
    EXPECT_EQ(settings.front()->Value, 4);  // read without the lock: a rename never shows half a file
    EXPECT_LT(startTook, 3 * patience);

    started = Clock::now();
    {
        TRegistrySession close(TRegistrySession::TPurpose::Storing);
        for (auto& setting : settings) {
            setting->Value = 7;
            setting.reset();
        }
    }
    auto closeTook = Clock::now() - started;
    EXPECT_LT(closeTook, 3 * patience);
    EXPECT_EQ(ReadText(UserFile()), before);  // skipped, as any store that cannot be made
    ::close(lock);
}

// A settings file its owner may not write to is kept as it is: the store is skipped, as a
// failed one is, and nothing is said.
TEST_F(RegistrySession, AReadOnlySettingsFileIsLeftUntouched) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("GridSpacing", 4); });
    ASSERT_EQ(::chmod(UserFile().c_str(), 0444), 0);
    const std::string before = ReadText(UserFile());
    for (bool inSession : {false, true}) {
        std::optional<TRegistrySession> close;
        if (inSession) close.emplace(TRegistrySession::TPurpose::Storing);
        TRegistryInteger spacing("GridSpacing", 3);
        EXPECT_EQ(spacing.Value, 4);
        spacing.Value = 1;
        TRegistry registry;
        EXPECT_FALSE(registry.OpenKey("\\Software\\Tarnwick\\New", true));
    }
    EXPECT_EQ(ReadText(UserFile()), before);
    EXPECT_EQ(StatOf(UserFile()).st_mode & 07777, 0444u);
    // Through a link, the file the link leads to decides.
    std::filesystem::path link = Folder / "link.reg";
    std::filesystem::create_symlink(UserFile(), link);
    EXPECT_FALSE(UpdateRegistryFile(link, 0600, [](TRegDocument& document) {
        document.Create({"HKEY_CURRENT_USER", "X"});
        return TRegChange::Changed;
    }));
    EXPECT_EQ(ReadText(UserFile()), before);
}

}  // namespace
}  // namespace gridloom
