// How fast the overlay is drawn: the boundaries of the sample Countries.dat, a polygon of a
// million points, the grid with labels at its densest, and a whole render saved to disk.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/Cartography.h"
#include "platform/Ticks.h"
#include "render/Bitmap.h"
#include "render/Boundaries.h"
#include "render/BoundaryDrawing.h"
#include "render/Grid.h"
#include "render/MasterImage.h"

namespace gridloom {
namespace {

class TSettings final : public IRenderSettings {
public:
    int Index = 0;
    bool Annotation = true;
    int32_t Width = 1;  // both pens
    int GridIndex() const override { return Index; }
    bool ShowScaleAnnotation() const override { return Annotation; }
    bool GridOverlaysCountries() const override { return false; }
    bool ShowBoundaries() const override { return true; }
    int32_t GridlineWidth() const override { return Width; }
    int32_t BoundaryWidth() const override { return Width; }
};

class TQuietProgress final : public IDrawProgress {
public:
    void SetProgress(int) override {}
    void RefreshDisplay() override {}
};

// A wobbly ring of a million points over most of the map, in minutes of arc.
std::unique_ptr<TLineSegment> BigPolygon(int points) {
    auto s = std::make_unique<TLineSegment>();
    s->Kind = 0;
    s->Count = points;
    s->Points = std::make_unique<BoundaryPoint[]>(std::size_t(points));
    for (int i = 0; i < points; ++i) {
        const double t = 2 * M_PI * i / points;
        const double r = 1.0 + 0.05 * std::sin(t * 997);
        s->Points[i] = {int16_t(std::lround(9000 * r * std::cos(t))), int16_t(std::lround(4200 * r * std::sin(t)))};
    }
    return s;
}

// The sample data, or, where it has not been made, a stand-in of about the same size.
const TCartogList& Sample() {
    static TCartogList list;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        list.LoadFromFile(GRIDLOOM_SOURCE_DIR "/sample/Countries.dat");
        if (list.Count() == 0) {
            for (int k = 0; k < 400; ++k) {
                auto s = std::make_unique<TLineSegment>();
                s->Kind = k % 4 == 0 ? 1 : 0;
                s->Count = 200;
                s->Points = std::make_unique<BoundaryPoint[]>(200);
                const double cx = (k % 20) * 1000 - 9500, cy = (k / 20) * 400 - 4000;
                for (int i = 0; i < 200; ++i) {
                    const double t = 2 * M_PI * i / 200;
                    s->Points[i] = {int16_t(cx + 300 * std::cos(t)), int16_t(cy + 150 * std::sin(t))};
                }
                list.AddSegment(std::move(s));
            }
        }
    }
    return list;
}

int64_t TotalPoints(const TCartogList& list) {
    int64_t n = 0;
    for (int i = 0; i < list.Count(); ++i) n += list.GetSegment(i).Count;
    return n;
}

struct TImage {
    TBitmap bitmap;
    TImage() {
        ResetMasterImage(bitmap);
        bitmap.Canvas().PolyFillMode = TPolyFillMode::Winding;
        bitmap.Canvas().Font = {"Arial", 11, fsBold, clBlack};
    }
};

void BM_ResetMasterImage(benchmark::State& state) {
    TBitmap bitmap;
    for (auto _ : state) ResetMasterImage(bitmap);
}
BENCHMARK(BM_ResetMasterImage)->Unit(benchmark::kMillisecond);

// The argument is the pen width: wide boundaries should cost little more than thin ones.
void BM_DrawBoundariesSample(benchmark::State& state) {
    const TCartogList& list = Sample();
    TImage image;
    TSettings settings;
    settings.Width = int32_t(state.range(0));
    TQuietProgress progress;
    for (auto _ : state) DrawBoundaries(image.bitmap.Canvas(), list, settings, progress);
    state.counters["segments"] = list.Count();
    state.counters["points/s"] =
        benchmark::Counter(double(TotalPoints(list)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DrawBoundariesSample)->ArgName("width")->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The same on a finer build of the data (1:10m, tools/build-bench-data.sh), when the
// environment names one: GRIDLOOM_BENCH_DATA_10M=/tmp/Countries-10m.dat. Without it the
// benchmark is not registered at all.
void BM_DrawBoundaries10m(benchmark::State& state, const std::string& path) {
    static TCartogList list;
    if (list.Count() == 0) list.LoadFromFile(path);
    if (list.Count() == 0) {
        state.SkipWithError(("no boundary data in " + path).c_str());
        return;
    }
    TImage image;
    TSettings settings;
    settings.Width = int32_t(state.range(0));
    TQuietProgress progress;
    for (auto _ : state) DrawBoundaries(image.bitmap.Canvas(), list, settings, progress);
    state.counters["segments"] = list.Count();
    state.counters["points/s"] =
        benchmark::Counter(double(TotalPoints(list)), benchmark::Counter::kIsIterationInvariantRate);
}
const bool Registered10m = [] {
    const char* path = std::getenv("GRIDLOOM_BENCH_DATA_10M");
    if (path != nullptr && *path != '\0')
        benchmark::RegisterBenchmark("BM_DrawBoundaries10m", BM_DrawBoundaries10m, std::string(path))
            ->ArgName("width")
            ->Arg(1)
            ->Arg(5)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

void BM_DrawBoundariesMillionPoints(benchmark::State& state) {
    TCartogList list;
    list.AddSegment(BigPolygon(1000000));
    TImage image;
    TSettings settings;
    TQuietProgress progress;
    for (auto _ : state) DrawBoundaries(image.bitmap.Canvas(), list, settings, progress);
    state.counters["points/s"] = benchmark::Counter(1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DrawBoundariesMillionPoints)->Unit(benchmark::kMillisecond);

// The projection and collection alone, without rasterising: what the boundary drawing
// itself costs per point.
void BM_CollectMillionPoints(benchmark::State& state) {
    auto segment = BigPolygon(1000000);
    std::vector<TPoint> work(1000000 + BoundaryWrapReserve);
    for (auto _ : state) benchmark::DoNotOptimize(CollectSegmentPixels(*segment, work));
    state.counters["points/s"] = benchmark::Counter(1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CollectMillionPoints)->Unit(benchmark::kMillisecond);

void BM_DrawGridOneDegreeNoLabels(benchmark::State& state) {
    TImage image;
    TSettings settings;
    settings.Annotation = false;
    settings.Width = int32_t(state.range(0));
    for (auto _ : state) DrawGrid(image.bitmap.Canvas(), settings);
}
BENCHMARK(BM_DrawGridOneDegreeNoLabels)->ArgName("width")->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_DrawGridLabelledOneDegree(benchmark::State& state) {
    TImage image;
    TSettings settings;                         // 1 degree, labels on
    DrawGrid(image.bitmap.Canvas(), settings);  // fonts looked up and glyphs rendered once
    for (auto _ : state) DrawGrid(image.bitmap.Canvas(), settings);
}
BENCHMARK(BM_DrawGridLabelledOneDegree)->Unit(benchmark::kMillisecond);

void BM_WholeRenderAndSave(benchmark::State& state) {
    const TCartogList& list = Sample();
    TImage image;
    TSettings settings;
    settings.Index = 3;
    TQuietProgress progress;
    const std::string path = "/tmp/gridloom_bench_render.bmp";
    for (auto _ : state) {
        ResetMasterImage(image.bitmap);
        DrawGrid(image.bitmap.Canvas(), settings);
        DrawBoundaries(image.bitmap.Canvas(), list, settings, progress);
        if (!image.bitmap.SaveToFile(path)) state.SkipWithError("saving failed");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WholeRenderAndSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridloom
