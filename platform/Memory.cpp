#include "platform/Memory.h"

#include <cstdio>
#include <limits>
#include <string>

namespace gridloom {

namespace {
constexpr uint32_t Unknown = std::numeric_limits<uint32_t>::max();

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

uint32_t ParseMemAvailableMB(std::string_view meminfo) {
    constexpr std::string_view key = "MemAvailable:";
    std::size_t lineStart = 0;
    while (lineStart < meminfo.size()) {
        std::size_t lineEnd = meminfo.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = meminfo.size();
        std::string_view line = meminfo.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.substr(0, key.size()) != key) continue;

        std::size_t i = key.size();
        while (i < line.size() && IsBlank(line[i])) ++i;
        uint64_t kB = 0;
        std::size_t digits = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i, ++digits) {
            // Far beyond any real machine: saturate instead of wrapping into a small number.
            if (kB > (std::numeric_limits<uint64_t>::max() - 9) / 10) return Unknown - 1;
            kB = kB * 10 + uint64_t(line[i] - '0');
        }
        if (digits == 0) return Unknown;
        while (i < line.size() && IsBlank(line[i])) ++i;
        std::string_view unit = line.substr(i);
        if (!unit.empty() && unit.back() == '\r') unit.remove_suffix(1);
        if (!unit.empty() && unit != "kB") return Unknown;
        uint64_t mb = kB >> 10;
        // 0xFFFFFFFF is kept for "unknown"; a real figure never reaches it.
        return mb >= Unknown ? Unknown - 1 : uint32_t(mb);
    }
    return Unknown;
}

uint32_t AvailablePhysicalMB() {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file) return Unknown;
    std::string text;
    char buffer[4096];
    std::size_t got;
    // The file is a few kB; the cap only guards against a strange mount that never ends.
    while (text.size() < (1u << 20) && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return ParseMemAvailableMB(text);
}

}  // namespace gridloom
