#include "platform/Memory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace gridloom {
namespace {

constexpr uint32_t Unknown = 0xFFFFFFFF;

TEST(MemAvailable, ReadsTheKernelFigureInWholeMiB) {
    EXPECT_EQ(ParseMemAvailableMB("MemTotal:       24683784 kB\n"
                                  "MemFree:        24265576 kB\n"
                                  "MemAvailable:   24343968 kB\n"),
              24343968u >> 10);
    // Rounded down, never up: 6 MiB less one kB is 5.
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: 6143 kB\n"), 5u);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: 6144 kB"), 6u);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable:0 kB\r\n"), 0u);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable:\t2048\n"), 2u);
}

TEST(MemAvailable, OddTextMeansUnknownNotLow) {
    // A figure that cannot be read must not look like a machine out of memory.
    EXPECT_EQ(ParseMemAvailableMB(""), Unknown);
    EXPECT_EQ(ParseMemAvailableMB("MemFree: 1000 kB\n"), Unknown);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable:\n"), Unknown);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: lots kB\n"), Unknown);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: 5000 MB\n"), Unknown);
    EXPECT_EQ(ParseMemAvailableMB("XMemAvailable: 5000 kB\n"), Unknown);
    EXPECT_EQ(ParseMemAvailableMB(std::string_view("MemAvail\0able: 5 kB", 19)), Unknown);
}

TEST(MemAvailable, HugeFiguresSaturateBelowUnknown) {
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: 99999999999999999999999999 kB\n"), Unknown - 1);
    EXPECT_EQ(ParseMemAvailableMB("MemAvailable: 4503599627370495 kB\n"), Unknown - 1);
}

TEST(MemAvailable, FindsTheLineAnywhere) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "Other" + std::to_string(i) + ": 1 kB\n";
    text += "MemAvailable: 10240 kB";  // last line without a newline
    EXPECT_EQ(ParseMemAvailableMB(text), 10u);
}

TEST(MemAvailable, ThisMachineReportsAFigure) {
    if (!std::ifstream("/proc/meminfo")) GTEST_SKIP() << "no /proc/meminfo here";
    uint32_t mb = AvailablePhysicalMB();
    EXPECT_NE(mb, Unknown);
    EXPECT_GT(mb, 0u);
}

}  // namespace
}  // namespace gridloom
