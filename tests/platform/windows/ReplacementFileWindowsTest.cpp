// The whole-or-nothing save over ReplaceFileA and MoveFileExA: what lies at the target after
// each outcome, and that no temporary file is ever left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/FileAttributes.h"
#include "platform/ReplacementFile.h"
#include "platform/windows/WinApi.h"

namespace gridloom {
namespace {

class WindowsReplacement : public ::testing::Test {
protected:
    std::filesystem::path Folder;
    std::string Target;

    void SetUp() override {
        Folder = std::filesystem::temp_directory_path() /
                 ("gridloom-replace-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Folder);
        Target = (Folder / "Overlay.bmp").string();
    }
    void TearDown() override {
        for (const auto& entry : std::filesystem::directory_iterator(Folder))
            ::SetFileAttributesA(entry.path().string().c_str(), 0x80);
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    int FilesInFolder() const {
        return int(std::distance(std::filesystem::directory_iterator(Folder), std::filesystem::directory_iterator()));
    }
    static bool Save(const std::string& target, const std::string& text) {
        TReplacementFile file(target);
        return file.Write(text) && file.Commit(true);
    }
};

TEST_F(WindowsReplacement, NewAndWritableTargetsGetTheWholeNewFile) {
    ASSERT_TRUE(Save(Target, "first"));
    EXPECT_EQ(Read(Target), "first");
    ASSERT_TRUE(Save(Target, "second, longer"));
    EXPECT_EQ(Read(Target), "second, longer");
    EXPECT_EQ(FilesInFolder(), 1);
    const TByteRange ranges[] = {{"ab", 2}, {"", 0}, {"cde", 3}};
    TReplacementFile file(Target);
    ASSERT_TRUE(file.WriteRanges(ranges));
    ASSERT_TRUE(file.Commit(false));
    EXPECT_EQ(Read(Target), "abcde");
}

TEST_F(WindowsReplacement, AReadOnlyTargetIsReplacedWholeAndTheAttributesFollow) {
    Write(Target, "old");
    ASSERT_TRUE(SetFileAttributes(Target, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Save(Target, "new"));
    EXPECT_EQ(Read(Target), "new");
    EXPECT_EQ(FilesInFolder(), 1);  // neither the temporary file nor the old one is left
}

TEST_F(WindowsReplacement, AFailedReplacementLeavesAReadOnlyTargetAsItWas) {
    Write(Target, "old");
    ASSERT_TRUE(SetFileAttributes(Target, FILE_ATTRIBUTE_READONLY));
    // Another program holds the target open without sharing it: it cannot be moved away.
    HANDLE held = ::CreateFileA(Target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        TReplacementFile file(Target);
        ASSERT_TRUE(file.Write(std::string("new")));
        EXPECT_FALSE(file.Commit(true));
        EXPECT_EQ(file.FailedStep(), TReplacementFile::TStep::Rename);
    }
    ::CloseHandle(held);
    EXPECT_EQ(Read(Target), "old");
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(Target)));
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WindowsReplacement, AFolderOrADeviceInTheWayIsRefusedBeforeAnythingIsWritten) {
    std::filesystem::create_directory(Target);
    TReplacementFile folder(Target);
    EXPECT_FALSE(folder.Write(std::string("x")));
    EXPECT_EQ(folder.FailedStep(), TReplacementFile::TStep::Target);
    EXPECT_EQ(folder.TargetKind(), "a folder");
    EXPECT_TRUE(std::filesystem::is_directory(Target));
    for (const char* device : {"NUL", "con.bmp", "C:\\somewhere\\COM1", "\\\\.\\PhysicalDrive0"}) {
        TReplacementFile file(device);
        EXPECT_FALSE(file.Commit(false)) << device;
        EXPECT_EQ(file.TargetKind(), "a device") << device;
        EXPECT_EQ(GetFileAttributes(device), FILE_ATTRIBUTE_DEVICE) << device;
    }
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WindowsReplacement, AnAbandonedSaveLeavesNoTemporaryFile) {
    Write(Target, "old");
    {
        TReplacementFile file(Target);
        ASSERT_TRUE(file.Write(std::string("half")));
    }
    EXPECT_EQ(Read(Target), "old");
    EXPECT_EQ(FilesInFolder(), 1);
    TReplacementFile missingFolder((Folder / "no such folder" / "Overlay.bmp").string());
    EXPECT_EQ(missingFolder.FailedStep(), TReplacementFile::TStep::Create);
    EXPECT_EQ(missingFolder.FailedErrno(), ENOENT);
}

TEST_F(WindowsReplacement, LeftoversOfKilledWritersGoButThoseOfLiveWritersStay) {
    const std::string leftover = Target + ".tmpabcd1234";
    Write(leftover, "killed");
    TReplacementFile live(Target);
    ASSERT_TRUE(live.Write(std::string("live")));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    ASSERT_TRUE(Save(Target, "other"));
    EXPECT_EQ(FilesInFolder(), 2);  // the target and the live writer's file
    ASSERT_TRUE(live.Commit(false));
    EXPECT_EQ(Read(Target), "live");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WindowsReplacement, TheReadOnlyBitIsTheSystemsAttribute) {
    Write(Target, "x");
    EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(Target)));
    ASSERT_TRUE(SetFileAttributes(Target, GetFileAttributes(Target) | FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(::GetFileAttributesA(Target.c_str()) & 1, 0u);
    EXPECT_TRUE(IsReadOnlyRegularFile(GetFileAttributes(Target)));
    ASSERT_TRUE(SetFileAttributes(Target, GetFileAttributes(Target) & ~FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(::GetFileAttributesA(Target.c_str()) & 1, 0u);
    EXPECT_FALSE(IsReadOnlyRegularFile(GetFileAttributes(Folder.string())));
    EXPECT_EQ(GetFileAttributes((Folder / "missing").string()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetFileAttributes((Folder / "missing").string(), FILE_ATTRIBUTE_READONLY));
}

}  // namespace
}  // namespace gridloom
