// How fast the canvas draws what a generation run draws: a million-point coastline-like
// ring filled and outlined, many small islands, grid lines, and the reset and save of
// the full master image. Figures are printed as points (or lines) per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "render/Bitmap.h"
#include "render/MasterImage.h"
#include "render/Rasterizer.h"

namespace gridloom {
namespace {

// A coastline-like ring around the image centre: large bays and headlands, smaller inlets
// and a random-walk ragged edge, with consecutive points a pixel or two apart (as the
// boundary drawing hands them over once repeated pixels are dropped).
std::vector<TPoint> Coastline(int count) {
    std::vector<TPoint> points;
    points.reserve(std::size_t(count));
    std::mt19937 random(42);
    std::uniform_real_distribution<double> step(-0.6, 0.6);
    double walk = 0;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        walk = std::clamp(0.98 * walk + step(random), -30.0, 30.0);
        const double r = 1500 + 400 * std::sin(300 * a) + 150 * std::sin(1700 * a + 1) + walk;
        points.push_back(
            {int32_t(std::lround(3960 + 2.2 * r * std::cos(a))), int32_t(std::lround(1980 + r * std::sin(a)))});
    }
    return points;
}

// A ring whose every point jumps a few pixels at random: far more crossings per row than
// any coastline, the hard case for the fill's per-row sorting.
std::vector<TPoint> RaggedRing(int count) {
    std::vector<TPoint> points;
    points.reserve(std::size_t(count));
    std::mt19937 random(42);
    std::uniform_real_distribution<double> jitter(-3, 3);
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        const double r = 1750 + 150 * std::sin(37 * a) + 60 * std::sin(1013 * a) + jitter(random);
        points.push_back(
            {int32_t(std::lround(3960 + 2.1 * r * std::cos(a))), int32_t(std::lround(1980 + r * std::sin(a)))});
    }
    return points;
}

TBitmap& MasterImage() {
    static TBitmap bitmap;
    if (bitmap.Width() == 0) ResetMasterImage(bitmap);
    return bitmap;
}

void BM_Reset(benchmark::State& state) {
    TBitmap bitmap;
    for (auto _ : state) {
        ResetMasterImage(bitmap);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}
BENCHMARK(BM_Reset)->Unit(benchmark::kMillisecond);

// Fills and outlines the ring as a land polygon, with the pen width of the argument.
void PolygonBenchmark(benchmark::State& state, const std::vector<TPoint>& ring) {
    TCanvas& canvas = MasterImage().Canvas();
    canvas.PolyFillMode = TPolyFillMode::Winding;
    canvas.Brush.Color = clGreen;
    canvas.Pen.Color = clYellow;
    canvas.Pen.Width = int32_t(state.range(0));
    for (auto _ : state) canvas.Polygon(ring.data(), int(ring.size()));
    state.counters["points/s"] = benchmark::Counter(double(ring.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MillionPointPolygon(benchmark::State& state) {
    static const std::vector<TPoint> ring = Coastline(1000000);
    PolygonBenchmark(state, ring);
}
BENCHMARK(BM_MillionPointPolygon)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The fill alone, to tell its share from the outline's.
void BM_MillionPointFill(benchmark::State& state) {
    static const std::vector<TPoint> ring = Coastline(1000000);
    TRasterizer raster;
    for (auto _ : state) raster.FillPolygon(MasterImage(), ring.data(), int(ring.size()), TPolyFillMode::Winding, 2);
    state.counters["points/s"] = benchmark::Counter(double(ring.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MillionPointFill)->Unit(benchmark::kMillisecond);

void BM_RaggedRingPolygon(benchmark::State& state) {
    static const std::vector<TPoint> ring = RaggedRing(1000000);
    PolygonBenchmark(state, ring);
}
BENCHMARK(BM_RaggedRingPolygon)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_MillionPointPolyline(benchmark::State& state) {
    static const std::vector<TPoint> ring = Coastline(1000000);
    TCanvas& canvas = MasterImage().Canvas();
    canvas.Pen.Color = clYellow;
    canvas.Pen.Width = int32_t(state.range(0));
    for (auto _ : state) canvas.Polyline(ring.data(), int(ring.size()));
    state.counters["points/s"] = benchmark::Counter(double(ring.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MillionPointPolyline)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// Islands: 20,000 small 12-sided polygons scattered over the image.
void BM_SmallPolygons(benchmark::State& state) {
    std::vector<std::vector<TPoint>> islands;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(-50, 7970), y(-50, 4010), size(2, 20);
    for (int i = 0; i < 20000; ++i) {
        const int cx = x(random), cy = y(random), r = size(random);
        std::vector<TPoint> p;
        for (int k = 0; k < 12; ++k)
            p.push_back(
                {cx + int(std::lround(r * std::cos(k * M_PI / 6))), cy + int(std::lround(r * std::sin(k * M_PI / 6)))});
        islands.push_back(std::move(p));
    }
    TCanvas& canvas = MasterImage().Canvas();
    canvas.PolyFillMode = TPolyFillMode::Winding;
    canvas.Brush.Color = clGreen;
    canvas.Pen.Color = clYellow;
    canvas.Pen.Width = int32_t(state.range(0));
    for (auto _ : state)
        for (const auto& p : islands) canvas.Polygon(p.data(), int(p.size()));
    state.counters["points/s"] = benchmark::Counter(20000.0 * 12, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SmallPolygons)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// Grid lines across the whole image (long) and boundary-like short strokes.
void BM_Lines(benchmark::State& state) {
    const bool longLines = state.range(0) != 0;
    TCanvas& canvas = MasterImage().Canvas();
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = int32_t(state.range(1));
    std::mt19937 random(3);
    std::uniform_int_distribution<int> x(0, 7919), y(0, 3959), d(-6, 6);
    std::vector<TPoint> ends;
    for (int i = 0; i < 1000; ++i) {
        const TPoint a{x(random), y(random)};
        ends.push_back(a);
        ends.push_back(longLines ? TPoint{x(random), y(random)} : TPoint{a.X + d(random), a.Y + d(random)});
    }
    for (auto _ : state)
        for (std::size_t i = 0; i < ends.size(); i += 2) {
            canvas.MoveTo(ends[i].X, ends[i].Y);
            canvas.LineTo(ends[i + 1].X, ends[i + 1].Y);
        }
    state.counters["lines/s"] = benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Lines)->ArgsProduct({{0, 1}, {1, 5}})->ArgNames({"long", "width"})->Unit(benchmark::kMicrosecond);

void BM_SaveToFile(benchmark::State& state) {
    const TBitmap& bitmap = MasterImage();
    const std::string path = "/tmp/gridloom-bench-canvas.bmp";
    for (auto _ : state) {
        const TSaveResult result = bitmap.SaveToFile(path);
        if (!result) state.SkipWithError(result.Error.c_str());
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * bitmap.Width() * bitmap.Height());
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridloom

BENCHMARK_MAIN();
