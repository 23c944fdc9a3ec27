// How fast the registry files are read and written as they grow: one key holding many values
// (the shape that once took quadratic time), and files of 50 MB, near the largest the store
// reads, both as one key and as many small keys. Figures are printed as bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ProgramName.h"
#include "platform/Registry.h"
#include "platform/RegistryDocument.h"
#include "platform/RegistryStore.h"
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
    TLargeSettingsFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "gridloom-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        FFolder = pattern;
        ::setenv("XDG_CONFIG_HOME", FFolder.c_str(), 1);
        std::filesystem::create_directories(FFolder / "registry");
        std::ofstream(FFolder / "registry" / "HKEY_CURRENT_USER.reg", std::ios::binary)
            << RegistryText(SIZE_MAX, SIZE_MAX, FiftyMegabytes);
    }
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

}  // namespace
}  // namespace gridloom
