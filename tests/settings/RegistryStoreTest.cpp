// The registry stand-in as the settings use it: keys, typed values, the files behind them,
// and what happens when the files are damaged, misplaced or shared by running copies.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "HeldLock.h"
#include "RegistryFixture.h"
#include "platform/RegistryStore.h"
#include "tests/platform/InChild.h"

extern char** environ;

namespace gridloom {
namespace {

// A copy of this test program started with GRIDLOOM_REGISTRY_WORKER="<id>:<rounds>" stores
// values and ends before any test runs: the race needs separate processes, as two running
// copies of Gridloom are.
int RunRegistryWorkerIfAsked() {
    const char* job = std::getenv("GRIDLOOM_REGISTRY_WORKER");
    if (job == nullptr) return 0;
    int id = 0, rounds = 0;
    if (std::sscanf(job, "%d:%d", &id, &rounds) != 2) ::_exit(2);
    SetProgramFileName("Race");
    for (int round = 0; round < rounds; ++round) {
        // Registry variables, as the program stores its settings.
        TRegistryInteger mine("Worker" + std::to_string(id) + "Round" + std::to_string(round));
        mine.Value = round;
        TRegistryInteger shared("Last");
        shared.Value = id;
    }
    ::_exit(0);
}
const int RegistryWorker = RunRegistryWorkerIfAsked();

using test::RegistryFixture;
using RegistryStore = RegistryFixture;

TEST_F(RegistryStore, LoadsOnAnEmptyStoreCreateNothing) {
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists(SettingsKey));
    EXPECT_FALSE(registry.OpenKey(SettingsKey, false));
    EXPECT_FALSE(registry.ValueExists("GridSpacing"));
    EXPECT_THROW(registry.ReadInteger("GridSpacing"), ERegistryException);
    EXPECT_TRUE(registry.KeyExists("\\"));  // the root always exists
    EXPECT_FALSE(std::filesystem::exists(Folder / "home"));
}

TEST_F(RegistryStore, FilesLiveWhereTheEnvironmentSays) {
    EXPECT_EQ(UserFile(), Folder / "home" / "registry" / "HKEY_CURRENT_USER.reg");
    EXPECT_EQ(MachineFile(), Folder / "etc" / "HKEY_LOCAL_MACHINE.reg");
    ::unsetenv("GRIDLOOM_MACHINE_REGISTRY");
    // The machine's file stays put whatever folders a desktop session names.
    for (const char* dirs : {"/etc/xdg/xdg-ubuntu:/etc/xdg", "/x", ""}) {
        ::setenv("XDG_CONFIG_DIRS", dirs, 1);
        EXPECT_EQ(MachineFile(), "/etc/xdg/registry/HKEY_LOCAL_MACHINE.reg") << dirs;
    }
    ::setenv("GRIDLOOM_MACHINE_REGISTRY", "relative/ignored.reg", 1);
    EXPECT_EQ(MachineFile(), "/etc/xdg/registry/HKEY_LOCAL_MACHINE.reg");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(UserFile(), "/home/someone/.config/registry/HKEY_CURRENT_USER.reg");
    EXPECT_TRUE(RegistryFilePath(0x80000003).empty());
}

TEST_F(RegistryStore, OpenKeyCreatesTheKeyAndItsParents) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
    EXPECT_EQ(registry.CurrentPath(), SettingsKey);
    TRegistry other;
    EXPECT_TRUE(other.KeyExists("\\Software"));
    EXPECT_TRUE(other.KeyExists("\\software\\TARNWICK"));
    EXPECT_TRUE(other.KeyExists("\\SOFTWARE\\tarnwick\\gridloom"));
    // A key with no values is still there, as an empty section.
    EXPECT_NE(ReadText(UserFile()).find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(UserFile()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // A path without a leading backslash goes on from the open key.
    ASSERT_TRUE(other.OpenKey("\\Software", false));
    ASSERT_TRUE(other.OpenKey("Tarnwick\\Gridloom", false));
    EXPECT_EQ(other.CurrentPath(), SettingsKey);
}

TEST_F(RegistryStore, ValuesReadBackByTypeAndFailOnAnyOther) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
        registry.WriteInteger("Big", 65538);
        registry.WriteInteger("Minus", -1);
        registry.WriteBool("Yes", true);
        registry.WriteBool("No", false);
        registry.WriteString("Name", "Arial \"Bold\" C:\\x");
        registry.WriteString("Empty", "");
        registry.WriteString("Cut", std::string("ab\0cd", 5));
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
    EXPECT_EQ(registry.ReadInteger("big"), 65538);
    EXPECT_EQ(registry.ReadInteger("Minus"), -1);
    EXPECT_TRUE(registry.ReadBool("Yes"));
    EXPECT_FALSE(registry.ReadBool("No"));
    EXPECT_EQ(registry.ReadInteger("Yes"), 1);
    EXPECT_EQ(registry.ReadString("Name"), "Arial \"Bold\" C:\\x");
    EXPECT_EQ(registry.ReadString("Empty"), "");
    EXPECT_EQ(registry.ReadString("Cut"), "ab");
    EXPECT_TRUE(registry.ValueExists("EMPTY"));
    EXPECT_FALSE(registry.ValueExists("Missing"));

    EXPECT_THROW(registry.ReadInteger("Name"), ERegistryException);
    EXPECT_THROW(registry.ReadBool("Name"), ERegistryException);
    EXPECT_THROW(registry.ReadString("Big"), ERegistryException);
    EXPECT_THROW(registry.ReadString("Missing"), ERegistryException);

    std::string text = ReadText(UserFile());
    EXPECT_NE(text.find("\"Big\"=dword:00010002\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Minus\"=dword:ffffffff\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"Name\"=\"Arial \\\"Bold\\\" C:\\\\x\"\r\n"), std::string::npos);
}

TEST_F(RegistryStore, AWriteReplacesAValueOfAnotherTypeAndKeepsItsNameCase) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
    registry.WriteString("GridSpacing", "ten");
    registry.WriteInteger("GRIDSPACING", 4);
    EXPECT_EQ(registry.ReadInteger("gridspacing"), 4);
    std::string text = ReadText(UserFile());
    EXPECT_NE(text.find("\"GridSpacing\"=dword:00000004"), std::string::npos) << text;
    EXPECT_EQ(text.find("ten"), std::string::npos);
}

TEST_F(RegistryStore, WritesWithoutAnOpenKeyOrWithBadNamesFail) {
    TRegistry registry;
    EXPECT_THROW(registry.WriteInteger("x", 1), ERegistryException);
    ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
    EXPECT_THROW(registry.WriteInteger("two\nlines", 1), ERegistryException);
    EXPECT_FALSE(registry.OpenKey("\\Software\\" + std::string(300, 'k'), true));
    registry.SetRootKey(0x80000003);
    EXPECT_FALSE(registry.OpenKey(SettingsKey, true));
}

TEST_F(RegistryStore, ExpandableStringsAndOtherTypesAreReadOrKeptUntouched) {
    const std::string other = "\"Multi\"=hex(7):61,00,62,00,00\r\n\"Blob\"=hex:de,ad,be,ef\r\n";
    WriteText(UserFile(),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\App Paths]\r\n"
              "\"Skylune\"=hex(2):25,41,25,00\r\n" +
                  other);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Tarnwick\\App Paths", false));
    EXPECT_EQ(registry.ReadString("Skylune"), "%A%");
    EXPECT_THROW(registry.ReadInteger("Multi"), ERegistryException);
    EXPECT_THROW(registry.ReadString("Blob"), ERegistryException);
    registry.WriteInteger("New", 1);
    EXPECT_NE(ReadText(UserFile()).find(other), std::string::npos);
}

TEST_F(RegistryStore, ADamagedFileIsKeptBesideItBeforeItIsRewritten) {
    const std::string damaged =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\n"
        "\"GridSpacing\"=dword:00000005\n\"Broken\"=\"unterminated\n";
    WriteText(UserFile(), damaged);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 5);  // the parseable part is used

    auto corruptCopies = [&] {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(UserFile().parent_path()))
            if (entry.path().filename().string().starts_with("HKEY_CURRENT_USER.reg.corrupt-"))
                names.insert(entry.path().string());
        return names;
    };
    EXPECT_TRUE(corruptCopies().empty());  // loads change nothing

    registry.WriteInteger("Annotation", 1);
    auto copies = corruptCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadText(*copies.begin()), damaged);
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 5);
    EXPECT_EQ(registry.ReadInteger("Annotation"), 1);
    EXPECT_FALSE(TRegDocument::Parse(ReadText(UserFile())).Damaged());

    // A clean file makes no more copies; a second damage within the same second keeps both.
    registry.WriteInteger("Annotation", 0);
    EXPECT_EQ(corruptCopies().size(), 1u);
    WriteText(UserFile(), damaged + "second");
    registry.WriteInteger("Annotation", 1);
    copies = corruptCopies();
    ASSERT_EQ(copies.size(), 2u);
    std::set<std::string> texts;
    for (const auto& copy : copies) texts.insert(ReadText(copy));
    EXPECT_EQ(texts, (std::set<std::string>{damaged, damaged + "second"}));
}

TEST_F(RegistryStore, AFolderWhereTheFileShouldBeIsLeftAlone) {
    std::filesystem::create_directories(UserFile() / "inside");
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists("\\Software"));
    EXPECT_FALSE(registry.OpenKey(SettingsKey, true));
    EXPECT_TRUE(std::filesystem::is_directory(UserFile() / "inside"));
}

TEST_F(RegistryStore, SymbolicLinksAreFollowedAndLoopsRefused) {
    std::filesystem::create_directories(UserFile().parent_path());
    std::filesystem::create_symlink(UserFile(), UserFile());  // a loop
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists("\\Software"));
    EXPECT_FALSE(registry.OpenKey(SettingsKey, true));

    std::filesystem::remove(UserFile());
    std::filesystem::path elsewhere = Folder / "dotfiles" / "user.reg";
    WriteText(elsewhere, "REGEDIT4\n");
    std::filesystem::create_symlink(elsewhere, UserFile());
    ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
    registry.WriteInteger("GridSpacing", 2);
    EXPECT_TRUE(std::filesystem::is_symlink(UserFile()));
    EXPECT_NE(ReadText(elsewhere).find("\"GridSpacing\"=dword:00000002"), std::string::npos);
}

TEST_F(RegistryStore, APipeWhereTheFileShouldBeDoesNotHang) {
    std::filesystem::create_directories(UserFile().parent_path());
    ASSERT_EQ(::mkfifo(UserFile().c_str(), 0600), 0);
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists("\\Software"));
    EXPECT_FALSE(registry.OpenKey(SettingsKey, true));
}

TEST_F(RegistryStore, AnUnreadableFileIsNeverOverwritten) {
    WriteText(UserFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\n");
    std::filesystem::permissions(UserFile(), std::filesystem::perms::none);
    // The administrator reads every file, so root tries it as nobody, in nobody's folder.
    const bool root = ::geteuid() == 0;
    if (root) test::GiveToNobody(Folder.string());
    test::InChild(
        [&] {
            TRegistry registry;
            EXPECT_FALSE(registry.OpenKey(SettingsKey, true));
        },
        root);
    std::filesystem::permissions(UserFile(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadText(UserFile()), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\n");
}

TEST_F(RegistryStore, AnUnwritableMachineRootRefusesToCreateKeys) {
    MakeUnwritable("GRIDLOOM_MACHINE_REGISTRY");
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.OpenKey("\\Software\\Quorvane\\holmview", true));
    EXPECT_FALSE(registry.KeyExists("\\Software\\Quorvane\\holmview"));
    EXPECT_THROW(registry.WriteInteger("x", 1), ERegistryException);
}

TEST_F(RegistryStore, TheMachineRootIsAFileOfItsOwn) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Quorvane\\holmview", true));
    registry.WriteInteger("GridSpacing", 6);
    EXPECT_FALSE(std::filesystem::exists(UserFile()));
    EXPECT_NE(ReadText(MachineFile()).find("[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\holmview]"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(MachineFile()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0644));
}

// A copy of the program stuck while holding the lock delays the others but neither hangs
// them nor lets them overwrite what it may be writing.
TEST_F(RegistryStore, AStuckLockHolderNeitherHangsNorIsOverwritten) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(SettingsKey, true));
        registry.WriteInteger("GridSpacing", 4);
    }
    std::string before = ReadText(UserFile());
    const int lock = test::HoldUserLock();
    ASSERT_GE(lock, 0);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 4);
    EXPECT_THROW(registry.WriteInteger("GridSpacing", 5), ERegistryException);
    EXPECT_EQ(ReadText(UserFile()), before);
    ::close(lock);
    registry.WriteInteger("GridSpacing", 5);
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 5);
}

// What a Windows registry editor exports is read, not set aside as damaged, and is written
// back as REGEDIT4.
TEST_F(RegistryStore, ARegistryEditorsUnicodeExportIsReadAndRewritten) {
    std::string text = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n"
                              "\"GridSpacing\"=dword:00000002\r\n\"FontName\"=\"Courier\"\r\n")) {
        text += c;
        text += '\0';
    }
    WriteText(UserFile(), text);
    {
        TRegistryInteger spacing("GridSpacing", 3);
        EXPECT_EQ(spacing.Value, 2);
        TRegistryString font("FontName", "Arial");
        EXPECT_EQ(font.Value, "Courier");
        spacing.Value = 5;
    }
    EXPECT_EQ(Stored("GridSpacing"), 5);
    EXPECT_EQ(StoredString("FontName"), "Courier");
    EXPECT_TRUE(ReadText(UserFile()).starts_with("REGEDIT4\r\n"));
    for (const auto& entry : std::filesystem::directory_iterator(UserFile().parent_path()))
        EXPECT_EQ(entry.path().string().find(".corrupt"), std::string::npos) << entry.path();
}

// The real patience, as the program runs with it: a store waits for another copy's store to
// end rather than being refused.
TEST_F(RegistryStore, AStoreWaitsForAnotherCopysStoreToEnd) {
    SetRegistryLockPatience({});
    Store(SettingsKey, [](TRegistry& registry) { registry.WriteInteger("GridSpacing", 4); });
    const int lock = test::HoldUserLock();
    ASSERT_GE(lock, 0);
    std::thread otherCopy([lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(lock);
    });
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
    EXPECT_NO_THROW(registry.WriteInteger("GridSpacing", 5));
    otherCopy.join();
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 5);
}

// Two links to one file are one file: a copy storing through one link must wait for a copy
// storing through the other.
TEST_F(RegistryStore, LinksToOneFileShareItsLock) {
    std::filesystem::path real = Folder / "dotfiles" / "user.reg";
    WriteText(real, "REGEDIT4\n");
    std::filesystem::create_directories(UserFile().parent_path());
    std::filesystem::create_symlink(real, UserFile());
    std::filesystem::path otherLink = Folder / "other.reg";
    std::filesystem::create_symlink(real, otherLink);

    // What a copy storing through the other link holds while it writes.
    bool changed = false;
    ASSERT_TRUE(UpdateRegistryFile(otherLink, 0600, [&](TRegDocument& document) {
        document.Create({"HKEY_CURRENT_USER", "Other"});
        TRegistry registry;
        EXPECT_FALSE(registry.OpenKey(SettingsKey, true));  // refused: the file is being written
        changed = true;
        return TRegChange::Changed;
    }));
    EXPECT_TRUE(changed);
    TRegistry registry;
    EXPECT_TRUE(registry.OpenKey(SettingsKey, true));  // and granted once it is written
    EXPECT_TRUE(registry.KeyExists("\\Other"));
    EXPECT_TRUE(std::filesystem::is_symlink(UserFile()));
    EXPECT_TRUE(std::filesystem::is_symlink(otherLink));
}

// Running copies of the program store at the same time; none may lose another's values.
TEST_F(RegistryStore, ConcurrentCopiesLoseNoValue) {
    constexpr int Workers = 4;
    constexpr int Rounds = 40;
    std::vector<pid_t> children;
    for (int id = 0; id < Workers; ++id) {
        std::string job = "GRIDLOOM_REGISTRY_WORKER=" + std::to_string(id) + ":" + std::to_string(Rounds);
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
        env.push_back(job.data());
        env.push_back(nullptr);
        char program[] = "/proc/self/exe";
        char* argv[] = {program, nullptr};
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, env.data()), 0);
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Tarnwick\\Race", false));
    for (int id = 0; id < Workers; ++id)
        for (int round = 0; round < Rounds; ++round) {
            std::string name = "Worker" + std::to_string(id) + "Round" + std::to_string(round);
            ASSERT_TRUE(registry.ValueExists(name)) << name;
            EXPECT_EQ(registry.ReadInteger(name), round);
        }
    int last = registry.ReadInteger("Last");
    EXPECT_TRUE(last >= 0 && last < Workers);
    EXPECT_FALSE(TRegDocument::Parse(ReadText(UserFile())).Damaged());
}

}  // namespace
}  // namespace gridloom
