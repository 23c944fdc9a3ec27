// How fast the registry files are read and written as they grow: one key holding many values
// (the shape that once took quadratic time), and files of 50 MB, near the largest the store
// reads, both as one key and as many small keys. Figures are printed as bytes per second.
//
// The Window* benchmarks open and close a window's worth of settings (ten values, the App Paths
// lookup) as the window does, over a crafted 24 MB file of deep keys with long names, over a
// 27 MB file of a million values, and under a lock another process holds. Their peak_MB is the
// most the program held above what it held before the window opened; run them one at a time:
//   build/bench/bench_settings --benchmark_filter=WindowCrafted
#include <benchmark/benchmark.h>

#include <sys/file.h>
#include <malloc.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ProgramName.h"
#include "platform/Registry.h"
#include "platform/RegistryDocument.h"
#include "platform/Graphics.h"
#include "platform/RegistryStore.h"
#include "settings/AppPath.h"
#include "settings/RegistryFont.h"
#include "settings/RegistryVariables.h"

namespace gridloom {
namespace {

constexpr size_t FiftyMegabytes = size_t(50) << 20;

// A file of integer and string values, `perKey` to a key, until it holds `values` values or
// reaches `bytes`, whichever comes first.
std::string RegistryText(size_t values, size_t perKey, size_t bytes = SIZE_MAX) {
    std::string text = "REGEDIT4\r\n";
    char line[96];
    for (size_t i = 0; i < values && text.size() < bytes; ++i) {
        if (i % perKey == 0) {
            std::snprintf(line, sizeof line, "\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Key%07zu]\r\n", i / perKey);
            text += line;
        }
        if (i % 4 == 3) {
            std::snprintf(line, sizeof line, "\"Text%07zu\"=\"Times New Roman %zu\"\r\n", i, i);
        } else {
            std::snprintf(line, sizeof line, "\"Value%07zu\"=dword:%08zx\r\n", i, i);
        }
        text += line;
    }
    return text;
}

void Parse(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        TRegDocument document = TRegDocument::Parse(text);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["file_MB"] = double(text.size()) / (1 << 20);
}

void BM_ParseOneKey(benchmark::State& state) { Parse(state, RegistryText(size_t(state.range(0)), SIZE_MAX)); }
BENCHMARK(BM_ParseOneKey)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Unit(benchmark::kMillisecond);

void BM_Parse50MBOneKey(benchmark::State& state) { Parse(state, RegistryText(SIZE_MAX, SIZE_MAX, FiftyMegabytes)); }
BENCHMARK(BM_Parse50MBOneKey)->Unit(benchmark::kMillisecond);

void BM_Parse50MBSmallKeys(benchmark::State& state) { Parse(state, RegistryText(SIZE_MAX, 10, FiftyMegabytes)); }
BENCHMARK(BM_Parse50MBSmallKeys)->Unit(benchmark::kMillisecond);

void BM_Write50MBOneKey(benchmark::State& state) {
    const TRegDocument document = TRegDocument::Parse(RegistryText(SIZE_MAX, SIZE_MAX, FiftyMegabytes));
    size_t size = 0;
    for (auto _ : state) {
        std::string text = document.Serialize();
        size = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_Write50MBOneKey)->Unit(benchmark::kMillisecond);

// A variable loaded and stored as the program does it, in a 50 MB settings file: each is a
// whole read, or a whole read-modify-write with its flush to disk.
class TLargeSettingsFile {
public:
    explicit TLargeSettingsFile(const std::string& text) {
        std::string pattern = (std::filesystem::temp_directory_path() / "gridloom-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        FFolder = pattern;
        ::setenv("XDG_CONFIG_HOME", FFolder.c_str(), 1);
        std::filesystem::create_directories(FFolder / "registry");
        std::ofstream(File(), std::ios::binary) << text;
    }
    std::filesystem::path File() const { return FFolder / "registry" / "HKEY_CURRENT_USER.reg"; }
    TLargeSettingsFile() : TLargeSettingsFile(RegistryText(SIZE_MAX, SIZE_MAX, FiftyMegabytes)) {}
    ~TLargeSettingsFile() {
        std::error_code ignored;
        std::filesystem::remove_all(FFolder, ignored);
    }

private:
    std::filesystem::path FFolder;
};

void BM_Variable50MB(benchmark::State& state) {
    TLargeSettingsFile file;
    RegistryCompanyName = "Tarnwick";
    SetProgramFileName("Key0000000");  // the variable lives in the file's one large key
    for (auto _ : state) {
        TRegistryInteger variable("Value0000001", 0);  // a load...
        variable.Value++;                              // ...and, leaving the loop body, a store
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FiftyMegabytes));
}
BENCHMARK(BM_Variable50MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keys whose paths are as deep and whose names as long as the registry allows, until the file
// holds `bytes`; each line starts with a name of its own, so no two share a key.
std::string CraftedDeepKeys(size_t bytes) {
    std::string text = "REGEDIT4\r\n";
    for (size_t line = 0; text.size() < bytes; ++line) {
        text += "\r\n[HKEY_CURRENT_USER\\Software\\" + std::to_string(line);
        for (size_t depth = 3; depth < 512; ++depth) text += "\\" + std::string(252, char('a' + depth % 26));
        text += "]\r\n";
    }
    return text;
}

// A million values in Gridloom's own key.
std::string MillionValues() {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n";
    char line[64];
    for (int i = 0; i < 1000000; ++i) {
        std::snprintf(line, sizeof line, "\"V%07d\"=dword:%08x\r\n", i, unsigned(i));
        text += line;
    }
    return text;
}

// A field of /proc/self/status, in MB: VmRSS (resident now) or VmHWM (resident at the peak).
double StatusMB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field + ":")) return std::atof(line.c_str() + field.size() + 1) / 1024;
    return 0;
}

// Starts the peak anew from what is resident now (Linux 4.0 and later).
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// What the window does with its settings: at its start, the App Paths lookup, the check box,
// the font holder and five values, read as one session; at its close, the values changed by
// the user (one here) and all the others stored as one session.
void OpenAndCloseAWindow(benchmark::State& state) {
    std::vector<std::unique_ptr<TRegistryVariable>> settings;
    TFont arial{"Arial", 11, fsBold, 0};
    auto started = std::chrono::steady_clock::now();
    {
        TRegistrySession start(TRegistrySession::TPurpose::Loading);
        benchmark::DoNotOptimize(ReadAppPath("Skylune"));
        settings.push_back(std::make_unique<TRegistryBoolean>("ShowBoundaries", true));
        settings.push_back(std::make_unique<TRegistryFont>("Font", &arial));
        for (const char* name : {"GridSpacing", "GridlineWidth", "BoundaryWidth"})
            settings.push_back(std::make_unique<TRegistryInteger>(name, 1));
        for (const char* name : {"Annotation", "GridOnTop"})
            settings.push_back(std::make_unique<TRegistryBoolean>(name, false));
    }
    auto opened = std::chrono::steady_clock::now();
    static_cast<TRegistryInteger&>(*settings[2]).Value++;
    {
        TRegistrySession close(TRegistrySession::TPurpose::Storing);
        settings.clear();
    }
    auto closed = std::chrono::steady_clock::now();
    state.counters["open_s"] = std::chrono::duration<double>(opened - started).count();
    state.counters["close_s"] = std::chrono::duration<double>(closed - opened).count();
}

// The file is made and its text freed before the window opens, so that the peak counts what
// the window's settings take: peak_MB above what was resident at the start.
void WindowOver(benchmark::State& state, std::string (*makeText)()) {
    auto file = [&] {
        std::string text = makeText();
        state.counters["file_MB"] = double(text.size()) / (1 << 20);
        return std::make_unique<TLargeSettingsFile>(text);
    }();
    ::malloc_trim(0);
    RegistryCompanyName = "Tarnwick";
    SetProgramFileName("Gridloom");
    double resident = StatusMB("VmRSS");
    ResetPeakResident();
    for (auto _ : state) OpenAndCloseAWindow(state);
    state.counters["peak_MB"] = StatusMB("VmHWM") - resident;
}

std::string Crafted24MB() { return CraftedDeepKeys(24 << 20); }

void BM_WindowCrafted24MB(benchmark::State& state) { WindowOver(state, Crafted24MB); }
BENCHMARK(BM_WindowCrafted24MB)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_WindowMillionValues(benchmark::State& state) { WindowOver(state, MillionValues); }
BENCHMARK(BM_WindowMillionValues)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Another process holds the lock for the whole start and close: the start waits once for the
// load patience (1 s), the close once for the store patience (5 s), then skips the store.
void BM_WindowUnderAHeldLock(benchmark::State& state) {
    TLargeSettingsFile file("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n");
    RegistryCompanyName = "Tarnwick";
    SetProgramFileName("Gridloom");
    int lock = ::open((file.File().string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) std::abort();
    for (auto _ : state) OpenAndCloseAWindow(state);
    ::close(lock);
}
BENCHMARK(BM_WindowUnderAHeldLock)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace gridloom
