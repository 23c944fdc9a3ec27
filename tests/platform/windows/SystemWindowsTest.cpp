// The smaller Windows services: the program's own file, ticks, memory, and reading a file.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/FileContents.h"
#include "platform/Memory.h"
#include "platform/ModuleFile.h"
#include "platform/ProgramName.h"
#include "platform/Shell.h"
#include "platform/Ticks.h"
#include "platform/windows/WinApi.h"

namespace gridloom {
namespace {

TEST(WindowsModule, TheProgramKnowsItsFileAndWhatLiesInLibraries) {
    const std::string self = ExecutableFileName();
    EXPECT_EQ(self.substr(self.find_last_of('\\') + 1), "gridloom_platform_tests.exe");
    char buffer[MAX_PATH];
    static int local = 0;
    EXPECT_EQ(GetModuleFileNameA(&local, buffer, sizeof buffer), self.size());
    EXPECT_EQ(std::string(buffer), self);
    char shortBuffer[4];
    EXPECT_EQ(GetModuleFileNameA(&local, shortBuffer, sizeof shortBuffer), 3u);  // cut short, terminated
    EXPECT_EQ(std::string(shortBuffer), self.substr(0, 3));
    EXPECT_FALSE(IsInsideLibrary(&local));
    EXPECT_TRUE(IsInsideLibrary(reinterpret_cast<const void*>(&::GetTickCount)));
    EXPECT_EQ(ProgramFileName(), "gridloom_platform_tests");  // without ".exe"
}

TEST(WindowsServices, TicksAndMemoryComeFromTheSystem) {
    const uint32_t before = ::GetTickCount();
    const uint32_t ticks = SystemTicks().TickCount();
    EXPECT_LE(ticks - before, 1000u);
    const uint32_t mb = AvailablePhysicalMB();
    EXPECT_GT(mb, 0u);
    EXPECT_NE(mb, 0xFFFFFFFFu);
    EXPECT_FALSE(IsAcceptableUrl("-help"));
    EXPECT_FALSE(ShellOpen(""));
}

TEST(WindowsFileContents, FilesAreReadWholeAndOtherThingsAreNamed) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("gridloom-read-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "Countries.dat").string();
    std::ofstream(file, std::ios::binary) << std::string("abc\0def", 7);

    TFileContents read = ReadWholeFile(file);
    EXPECT_EQ(read.Status, TFileContents::TStatus::Read);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.Bytes), read.Size), std::string("abc\0def", 7));
    std::free(read.Bytes);

    EXPECT_EQ(ReadWholeFile((folder / "missing.dat").string()).Status, TFileContents::TStatus::Missing);
    EXPECT_EQ(ReadWholeFile((folder / "missing" / "x.dat").string()).Status, TFileContents::TStatus::Missing);
    const TFileContents dir = ReadWholeFile(folder.string());
    EXPECT_EQ(dir.Status, TFileContents::TStatus::Failed);
    EXPECT_EQ(dir.Error, EISDIR);
    EXPECT_EQ(ReadWholeFile("NUL").Status, TFileContents::TStatus::NotRegular);
    EXPECT_EQ(ReadWholeFile("CON").Status, TFileContents::TStatus::NotRegular);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace gridloom
