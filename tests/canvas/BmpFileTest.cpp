// The saved BMP: its headers and rows, an independent reader's view of it, and a save
// that never leaves a damaged or half-written file.
#include <gtest/gtest.h>

#include <QImage>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CanvasTestSupport.h"
#include "tests/platform/InChild.h"
#include "tests/platform/TempFolder.h"

namespace gridloom {
namespace {

class BmpFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(Folder.empty()) << "no temporary folder"; }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(Folder.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
            ::closedir(d);
        }
        return names;
    }

    static std::vector<uint8_t> Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static uint32_t U32(const std::vector<uint8_t>& f, std::size_t at) {
        return uint32_t(f[at]) | uint32_t(f[at + 1]) << 8 | uint32_t(f[at + 2]) << 16 | uint32_t(f[at + 3]) << 24;
    }
    static uint16_t U16(const std::vector<uint8_t>& f, std::size_t at) { return uint16_t(f[at] | f[at + 1] << 8); }

    // A 5 x 3 picture, each row padded to 8 bytes in the file, with distinct corners.
    static void Draw(TestBitmap& b) {
        b.ScanLine(0)[0] = PaletteIndexOf(clRed);
        b.ScanLine(0)[4] = PaletteIndexOf(clNavy);
        b.ScanLine(2)[0] = PaletteIndexOf(clYellow);
        b.ScanLine(2)[4] = PaletteIndexOf(clGreen);
    }

    test::TTempFolder Temp;
    const std::string Folder = Temp.Path();
};

TEST_F(BmpFile, HeadersPaletteRowsAndPadding) {
    TestBitmap b(5, 3);
    Draw(b);
    const std::string path = Folder + "/a.bmp";
    ASSERT_TRUE(b.SaveToFile(path)) << b.SaveToFile(path).Error;
    const auto f = Read(path);
    const std::size_t offset = 14 + 40 + 1024;
    ASSERT_EQ(f.size(), offset + 8 * 3);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), f.size());
    EXPECT_EQ(U32(f, 10), offset);
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U32(f, 18), 5u);
    EXPECT_EQ(U32(f, 22), 3u);  // positive: bottom-up
    EXPECT_EQ(U16(f, 26), 1);
    EXPECT_EQ(U16(f, 28), 8);
    EXPECT_EQ(U32(f, 30), 0u);  // BI_RGB
    EXPECT_EQ(U32(f, 34), 24u);
    EXPECT_EQ(U32(f, 46), 256u);
    // Colour table: B, G, R, 0; the default palette and then black.
    for (int i = 0; i < 256; ++i) {
        const TColor c = i < DefaultPaletteSize ? DefaultPalette[i] : clBlack;
        const std::size_t at = 54 + 4 * std::size_t(i);
        ASSERT_EQ(f[at], GetBValue(c)) << i;
        ASSERT_EQ(f[at + 1], GetGValue(c)) << i;
        ASSERT_EQ(f[at + 2], GetRValue(c)) << i;
        ASSERT_EQ(f[at + 3], 0) << i;
    }
    // The bottom row comes first; padding is zero.
    EXPECT_EQ(f[offset + 0], PaletteIndexOf(clYellow));
    EXPECT_EQ(f[offset + 4], PaletteIndexOf(clGreen));
    EXPECT_EQ(f[offset + 5], 0);
    EXPECT_EQ(f[offset + 7], 0);
    EXPECT_EQ(f[offset + 16], PaletteIndexOf(clRed));
    EXPECT_EQ(f[offset + 20], PaletteIndexOf(clNavy));
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BmpFile, AnIndependentReaderSeesTheSameColoursInTheSamePlaces) {
    TestBitmap b(5, 3);
    Draw(b);
    const std::string path = Folder + "/q.bmp";
    ASSERT_TRUE(b.SaveToFile(path));
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(path), "BMP"));
    ASSERT_EQ(image.width(), 5);
    ASSERT_EQ(image.height(), 3);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 0), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(0, 2), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(4, 2), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 255, 255));
}

TEST_F(BmpFile, ReplacingKeepsTheOldPermissions) {
    const std::string path = Folder + "/p.bmp";
    TestBitmap b(4, 4);
    ASSERT_TRUE(b.SaveToFile(path));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(b.SaveToFile(path));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BmpFile, AReadOnlyTargetIsRefusedEvenForRoot) {
    const std::string path = Folder + "/r.bmp";
    TestBitmap small(4, 4);
    ASSERT_TRUE(small.SaveToFile(path));
    const auto before = Read(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    TestBitmap other(8, 8);
    const TSaveResult result = other.SaveToFile(path);
    EXPECT_FALSE(result);
    EXPECT_NE(result.Error.find("is read-only"), std::string::npos) << result.Error;
    EXPECT_NE(result.Error.find(path), std::string::npos);
    EXPECT_EQ(Read(path), before);
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BmpFile, AMissingFolderFailsWithASentence) {
    TestBitmap b(4, 4);
    const TSaveResult result = b.SaveToFile(Folder + "/missing/x.bmp");
    EXPECT_FALSE(result);
    EXPECT_NE(result.Error.find(Folder + "/missing"), std::string::npos) << result.Error;
    EXPECT_NE(result.Error.find("No such file"), std::string::npos) << result.Error;
}

TEST_F(BmpFile, AnUnwritableFolderLeavesTheTargetIntact) {
    const std::string path = Folder + "/u.bmp";
    TestBitmap b(4, 4);
    ASSERT_TRUE(b.SaveToFile(path));
    const auto before = Read(path);
    ASSERT_EQ(::chmod(Folder.c_str(), 0555), 0);
    // Root writes into any folder, so root tries the save as nobody.
    test::InChild(
        [&] {
            TestBitmap other(8, 8);
            EXPECT_FALSE(other.SaveToFile(path));
        },
        ::geteuid() == 0);
    ::chmod(Folder.c_str(), 0755);
    EXPECT_EQ(Read(path), before);
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BmpFile, AFailedWriteLeavesTheTargetIntactAndNoTemporaryFile) {
    const std::string path = Folder + "/d.bmp";
    TestBitmap small(4, 4);
    ASSERT_TRUE(small.SaveToFile(path));
    const auto before = Read(path);

    // A file size limit makes the writes fail part-way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 2000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    TestBitmap big(300, 200);
    const TSaveResult result = big.SaveToFile(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result);
    EXPECT_NE(result.Error.find("Cannot write"), std::string::npos) << result.Error;
    EXPECT_NE(result.Error.find(path), std::string::npos) << result.Error;
    EXPECT_EQ(Read(path), before);
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BmpFile, AFolderInTheTargetsPlaceIsRefusedAndLeavesNoTemporaryFile) {
    const std::string target = Folder + "/dir.bmp";
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((target + "/inside").c_str(), 0755), 0);
    TestBitmap b(4, 4);
    const TSaveResult result = b.SaveToFile(target);
    EXPECT_FALSE(result);
    EXPECT_NE(result.Error.find("is a folder, not a regular file"), std::string::npos) << result.Error;
    ::rmdir((target + "/inside").c_str());
    ::rmdir(target.c_str());
    EXPECT_TRUE(Names().empty());
}

}  // namespace
}  // namespace gridloom
