#include "platform/Memory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

namespace gridloom {
namespace {

constexpr uint32_t Unknown = 0xFFFFFFFF;

TEST(MemAvailable, ParsesTheKernelText) {
    std::string longText;
    for (int i = 0; i < 50; ++i) longText += "Other" + std::to_string(i) + ": 1 kB\n";
    longText += "MemAvailable: 10240 kB";  // last line without a newline

    const std::pair<std::string, uint32_t> cases[] = {
        {"MemTotal:       24683784 kB\nMemFree:        24265576 kB\nMemAvailable:   24343968 kB\n", 24343968u >> 10},
        // Rounded down, never up: 6 MiB less one kB is 5.
        {"MemAvailable: 6143 kB\n", 5u},
        {"MemAvailable: 6144 kB", 6u},
        {"MemAvailable:0 kB\r\n", 0u},
        {"MemAvailable:\t2048\n", 2u},
        {longText, 10u},
        // A figure that cannot be read must not look like a machine out of memory.
        {"", Unknown},
        {"MemFree: 1000 kB\n", Unknown},
        {"MemAvailable:\n", Unknown},
        {"MemAvailable: lots kB\n", Unknown},
        {"MemAvailable: 5000 MB\n", Unknown},
        {"XMemAvailable: 5000 kB\n", Unknown},
        {std::string("MemAvail\0able: 5 kB", 19), Unknown},
        // Huge figures saturate below Unknown.
        {"MemAvailable: 99999999999999999999999999 kB\n", Unknown - 1},
        {"MemAvailable: 4503599627370495 kB\n", Unknown - 1},
    };
    for (const auto& [text, mb] : cases) EXPECT_EQ(ParseMemAvailableMB(text), mb) << text.substr(0, 60);
}

TEST(MemAvailable, ThisMachineReportsAFigure) {
    if (!std::ifstream("/proc/meminfo")) GTEST_SKIP() << "no /proc/meminfo here";
    uint32_t mb = AvailablePhysicalMB();
    EXPECT_NE(mb, Unknown);
    EXPECT_GT(mb, 0u);
}

}  // namespace
}  // namespace gridloom
