#include "platform/FileAttributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "TempFolder.h"

namespace gridloom {
namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::string MakeFile(const test::TTempFolder& folder, const std::string& name, mode_t mode) {
    std::string path = folder / name;
    std::ofstream(path) << "content";
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

TEST(FileAttributes, MissingFileIsInvalidAndNotReadOnly) {
    test::TTempFolder folder;
    EXPECT_EQ(GetFileAttributes(folder / "absent.bmp"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(""), INVALID_FILE_ATTRIBUTES);
    // The invalid word has every bit set; it must never pass for a read-only file.
    EXPECT_TRUE(INVALID_FILE_ATTRIBUTES & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(IsReadOnlyAttributes(INVALID_FILE_ATTRIBUTES));
    EXPECT_FALSE(SetFileAttributes(folder / "absent.bmp", FILE_ATTRIBUTE_READONLY));
}

TEST(FileAttributes, ReadOnlyMeansNoWriteBitAtAll) {
    test::TTempFolder folder;
    EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "a", 0644))));
    EXPECT_EQ(GetFileAttributes(MakeFile(folder, "b", 0644)) & 0xFFFF, FILE_ATTRIBUTE_NORMAL | AttributeHasMode);
    EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "c", 0404 | S_IWOTH))));
    EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "d", 0420))));
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "e", 0444))));
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "f", 0))));
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(MakeFile(folder, "g", 0555))));
}

TEST(FileAttributes, DirectoriesCarryTheirBit) {
    test::TTempFolder folder;
    uint32_t attributes = GetFileAttributes(folder.Path());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_NORMAL);
}

TEST(FileAttributes, SettingReadOnlyClearsEveryWriteBit) {
    test::TTempFolder folder;
    std::string path = MakeFile(folder, "Overlay.bmp", 0666);
    ASSERT_TRUE(SetFileAttributes(path, GetFileAttributes(path) | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(path), mode_t(0444));
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(path)));
}

TEST(FileAttributes, WritingBackAWordRestoresTheModeExactly) {
    test::TTempFolder folder;
    for (mode_t original : {mode_t(0444), mode_t(0400), mode_t(0640), mode_t(0755), mode_t(0602), mode_t(0)}) {
        std::string path = MakeFile(folder, "file" + std::to_string(original), original);
        uint32_t saved = GetFileAttributes(path);
        // Clear the read-only bit (giving a writable file), write over the mode, then restore.
        ASSERT_TRUE(SetFileAttributes(path, saved & ~FILE_ATTRIBUTE_READONLY));
        EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(path))) << std::oct << original;
        ASSERT_EQ(::chmod(path.c_str(), 0777), 0);
        ASSERT_TRUE(SetFileAttributes(path, saved));
        EXPECT_EQ(ModeOf(path), original) << std::oct << original;
    }
}

TEST(FileAttributes, ClearingReadOnlyAddsOnlyTheOwnersWriteBit) {
    test::TTempFolder folder;
    std::string path = MakeFile(folder, "ro", 0444);
    ASSERT_TRUE(SetFileAttributes(path, GetFileAttributes(path) & ~FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(path), mode_t(0644));

    std::string writable = MakeFile(folder, "rw", 0660);
    ASSERT_TRUE(SetFileAttributes(writable, GetFileAttributes(writable) & ~FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(writable), mode_t(0660));
}

TEST(FileAttributes, PlainWindowsWordsWorkOnTheCurrentMode) {
    test::TTempFolder folder;
    std::string path = MakeFile(folder, "plain", 0664);
    ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(path), mode_t(0444));
    ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(ModeOf(path), mode_t(0644));
    EXPECT_FALSE(SetFileAttributes(path, INVALID_FILE_ATTRIBUTES));
    EXPECT_EQ(ModeOf(path), mode_t(0644));
}

}  // namespace
}  // namespace gridloom
