#include "platform/FileAttributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "TempFolder.h"

namespace gridloom {
namespace {

class FileAttributes : public ::testing::Test {
protected:
    mode_t ModeOf(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    std::string MakeFile(const std::string& name, mode_t mode) {
        std::string path = Folder / name;
        std::ofstream(path) << "content";
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    }

    // Sets the attributes made from the file's own word by change, and gives the mode that results.
    mode_t Apply(const std::string& path, uint32_t (*change)(uint32_t)) {
        EXPECT_TRUE(SetFileAttributes(path, change(GetFileAttributes(path)))) << path;
        return ModeOf(path);
    }

    test::TTempFolder Folder;
};

uint32_t AddReadOnly(uint32_t word) { return word | FILE_ATTRIBUTE_READONLY; }
uint32_t ClearReadOnly(uint32_t word) { return word & ~FILE_ATTRIBUTE_READONLY; }

TEST_F(FileAttributes, MissingFileIsInvalidAndNotReadOnly) {
    EXPECT_EQ(GetFileAttributes(Folder / "absent.bmp"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(""), INVALID_FILE_ATTRIBUTES);
    // The invalid word has every bit set; it must never pass for a read-only file.
    EXPECT_TRUE(INVALID_FILE_ATTRIBUTES & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(IsReadOnlyAttributes(INVALID_FILE_ATTRIBUTES));
    EXPECT_FALSE(SetFileAttributes(Folder / "absent.bmp", FILE_ATTRIBUTE_READONLY));
}

TEST_F(FileAttributes, ReadOnlyMeansNoWriteBitAtAll) {
    const std::pair<mode_t, bool> cases[] = {
        {0644, false}, {0404 | S_IWOTH, false}, {0420, false}, {0444, true}, {0, true}, {0555, true}};
    for (auto [mode, readOnly] : cases)
        EXPECT_EQ(IsReadOnlyAttributes(GetFileAttributes(MakeFile("f" + std::to_string(mode), mode))), readOnly)
            << std::oct << mode;
    EXPECT_EQ(GetFileAttributes(MakeFile("plain", 0644)) & 0xFFFF, FILE_ATTRIBUTE_NORMAL | AttributeHasMode);
}

// Only a regular file is a "read-only file" that a save may be asked to replace: a folder or
// anything else that is not a file carries its own bit, read-only or not.
TEST_F(FileAttributes, FoldersAndOtherNonFilesCarryTheirBit) {
    const std::string pipe = Folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0444), 0);
    ASSERT_EQ(::mkdir((Folder / "dir").c_str(), 0555), 0);
    struct TCase {
        std::string Path;
        uint32_t Bit;
    };
    for (const TCase& c : {TCase{Folder / "dir", FILE_ATTRIBUTE_DIRECTORY}, TCase{pipe, FILE_ATTRIBUTE_DEVICE},
                           TCase{"/dev/null", FILE_ATTRIBUTE_DEVICE}}) {
        const uint32_t attributes = GetFileAttributes(c.Path);
        EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_NORMAL), c.Bit)
            << c.Path;
        EXPECT_FALSE(IsReadOnlyRegularFile(attributes)) << c.Path;
    }
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(pipe)));
    EXPECT_TRUE(IsReadOnlyRegularFile(GetFileAttributes(MakeFile("ro", 0444))));
    EXPECT_FALSE(IsReadOnlyRegularFile(GetFileAttributes(MakeFile("rw", 0644))));
    EXPECT_FALSE(IsReadOnlyRegularFile(GetFileAttributes(Folder / "absent")));
}

// Setting read-only clears every write bit; clearing it adds only the owner's.
TEST_F(FileAttributes, ReadOnlyBitChangesTheWriteBits) {
    const std::string path = MakeFile("Overlay.bmp", 0666);
    EXPECT_EQ(Apply(path, AddReadOnly), mode_t(0444));
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(path)));
    EXPECT_EQ(Apply(MakeFile("ro", 0444), ClearReadOnly), mode_t(0644));
    EXPECT_EQ(Apply(MakeFile("rw", 0660), ClearReadOnly), mode_t(0660));
}

TEST_F(FileAttributes, WritingBackAWordRestoresTheModeExactly) {
    for (mode_t original : {mode_t(0444), mode_t(0400), mode_t(0640), mode_t(0755), mode_t(0602), mode_t(0)}) {
        std::string path = MakeFile("file" + std::to_string(original), original);
        uint32_t saved = GetFileAttributes(path);
        // Clear the read-only bit (giving a writable file), write over the mode, then restore.
        Apply(path, ClearReadOnly);
        EXPECT_FALSE(IsReadOnlyAttributes(GetFileAttributes(path))) << std::oct << original;
        ASSERT_EQ(::chmod(path.c_str(), 0777), 0);
        ASSERT_TRUE(SetFileAttributes(path, saved));
        EXPECT_EQ(ModeOf(path), original) << std::oct << original;
    }
}

TEST_F(FileAttributes, PlainWindowsWordsWorkOnTheCurrentMode) {
    std::string path = MakeFile("plain", 0664);
    ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(path), mode_t(0444));
    ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(ModeOf(path), mode_t(0644));
    EXPECT_FALSE(SetFileAttributes(path, INVALID_FILE_ATTRIBUTES));
    EXPECT_EQ(ModeOf(path), mode_t(0644));
}

}  // namespace
}  // namespace gridloom
