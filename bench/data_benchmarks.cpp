// Loading record-dense boundary files: N records of no points each (five bytes a record),
// from a file as the run loads them. The counters give the heap the loaded list holds per
// segment; the peak memory of a whole load is best read from the outside, one size at a
// time, e.g. /usr/bin/time -v bench/bench_data --benchmark_filter=/50000000/
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/Cartography.h"

namespace gridloom {
namespace {

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A file of records records without points, written in large pieces.
bool WriteDenseFile(const std::string& path, int64_t records) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::vector<unsigned char> chunk;
    const int64_t perChunk = 1 << 20;
    for (int64_t done = 0; done < records; done += perChunk) {
        const int64_t n = std::min(perChunk, records - done);
        chunk.assign(std::size_t(n) * 5, 0);
        for (int64_t i = 0; i < n; ++i) chunk[std::size_t(i) * 5 + 4] = uint8_t((done + i) % 10);
        if (std::fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size()) {
            std::fclose(file);
            return false;
        }
    }
    return std::fclose(file) == 0;
}

void BM_LoadRecordDenseFile(benchmark::State& state) {
    const int64_t records = state.range(0);
    std::string folder = (std::filesystem::temp_directory_path() / "gridloom-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = folder + "/Countries.dat";
    if (!WriteDenseFile(path, records)) {
        state.SkipWithError("cannot write the data file");
        std::filesystem::remove_all(folder);
        return;
    }
    std::size_t held = 0;
    int segments = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        TCartogList list;
        list.LoadFromFile(path);
        held = HeapInUse() - before;
        segments = list.Count();
        benchmark::DoNotOptimize(segments);
    }
    std::filesystem::remove_all(folder);
    if (segments != records - 1) state.SkipWithError("the list does not hold every record");
    state.counters["segments"] = double(segments);
    state.counters["file_MB"] = double(records) * 5 / 1e6;
    state.counters["held_MB"] = double(held) / 1e6;
    state.counters["held_bytes_per_segment"] = segments > 0 ? double(held) / segments : 0;
}

BENCHMARK(BM_LoadRecordDenseFile)->Arg(5'000'000)->Arg(50'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace gridloom
