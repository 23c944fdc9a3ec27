// Repaints of the image display after a run on the sample data: the fitted view at the
// design size and in a window maximised on a 1920 x 1080 screen (and both at twice the
// pixel density), the visible part of the full-size view, a scroll step; and a whole run
// from the window, repaints included, to set against bench_run's run without a window.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <memory>

#include "app/GridloomForm.h"
#include "app/ImageDisplay.h"
#include "platform/ProgramName.h"

namespace gridloom {
namespace {

namespace fs = std::filesystem;

// A window on a throw-away registry, working in a folder holding the sample data (with
// Skylune not registered, the window uses the current folder), after one run.
struct TWindowWorld {
    fs::path Folder;
    std::unique_ptr<TFormMain> Form;

    TWindowWorld() {
        std::string pattern = (fs::temp_directory_path() / "gridloom-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        Folder = pattern;
        ::setenv("XDG_CONFIG_HOME", (Folder / "config").c_str(), 1);
        fs::copy_file(fs::path(GRIDLOOM_SOURCE_DIR) / "sample" / "Countries.dat", Folder / "Countries.dat");
        if (::chdir(Folder.c_str()) != 0) std::abort();
        Form = std::make_unique<TFormMain>();
        Form->show();
        QApplication::processEvents();
        Run();
    }
    ~TWindowWorld() {
        Form.reset();
        fs::remove_all(Folder);
    }
    // The image of the last run is read-only; it goes first, so no question is asked.
    void Run() {
        fs::permissions(Folder, fs::perms::owner_all);
        fs::remove(Folder / "Overlay.bmp");
        if (Form->MakeMasterImage(Form->OverlayFile()) != TRunOutcome::Saved) std::abort();
        QApplication::processEvents();
    }
    void Repaint() { Form->ImageDisplay->repaint(); }
};

TWindowWorld& World() {
    static TWindowWorld world;
    return world;
}

void Counters(benchmark::State& state, uint64_t before) {
    state.counters["pixels/repaint"] =
        double(World().Form->ImageDisplay->ConvertedPixels() - before) / double(state.iterations());
}

void BM_FittedRepaint(benchmark::State& state) {
    TWindowWorld& w = World();
    if (w.Form->Zoomed()) w.Form->ButtonZoom->click();
    w.Form->resize(int(state.range(0)), int(state.range(1)));
    QApplication::processEvents();
    const uint64_t before = w.Form->ImageDisplay->ConvertedPixels();
    for (auto _ : state) w.Repaint();
    Counters(state, before);
}
// The design size, and the client area of a window maximised on a 1920 x 1080 screen.
BENCHMARK(BM_FittedRepaint)->Args({760, 588})->Args({1920, 1050})->Unit(benchmark::kMillisecond);

// The same on a high-density screen of 2 device pixels per logical pixel: the fitted view
// scaled for the device pixels (four times as many), as a repaint at that ratio makes it;
// the toolkit's copy to the screen is left out. The whole repaint at that ratio is
// BM_FittedRepaint with QT_SCALE_FACTOR=2 in the environment.
void BM_FittedRepaintAtRatio2(benchmark::State& state) {
    TWindowWorld& w = World();
    if (w.Form->Zoomed()) w.Form->ButtonZoom->click();
    w.Form->resize(int(state.range(0)), int(state.range(1)));
    QApplication::processEvents();
    TImageDisplay& display = *w.Form->ImageDisplay;
    QImage buffer;
    const uint64_t before = display.ConvertedPixels();
    for (auto _ : state) display.Render(display.rect(), 2, buffer);
    Counters(state, before);
}
BENCHMARK(BM_FittedRepaintAtRatio2)->Args({760, 588})->Args({1920, 1050})->Unit(benchmark::kMillisecond);

void BM_FullSizeRepaint(benchmark::State& state) {
    TWindowWorld& w = World();
    w.Form->resize(int(state.range(0)), int(state.range(1)));
    if (!w.Form->Zoomed()) w.Form->ButtonZoom->click();
    QApplication::processEvents();
    w.Form->ScrollBox->horizontalScrollBar()->setValue(3000);
    w.Form->ScrollBox->verticalScrollBar()->setValue(1500);
    QApplication::processEvents();
    const uint64_t before = w.Form->ImageDisplay->ConvertedPixels();
    for (auto _ : state) w.Repaint();
    Counters(state, before);
}
BENCHMARK(BM_FullSizeRepaint)->Args({760, 588})->Args({1920, 1050})->Unit(benchmark::kMillisecond);

void BM_FullSizeScrollStep(benchmark::State& state) {
    TWindowWorld& w = World();
    w.Form->resize(1920, 1050);
    if (!w.Form->Zoomed()) w.Form->ButtonZoom->click();
    QApplication::processEvents();
    QScrollBar* bar = w.Form->ScrollBox->horizontalScrollBar();
    bar->setValue(0);
    QApplication::processEvents();
    const uint64_t before = w.Form->ImageDisplay->ConvertedPixels();
    int step = 16;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() + step < 0) step = -step;
        bar->setValue(bar->value() + step);
        QApplication::processEvents();
    }
    Counters(state, before);
}
BENCHMARK(BM_FullSizeScrollStep)->Unit(benchmark::kMillisecond);

void BM_WindowRunDefaults(benchmark::State& state) {
    TWindowWorld& w = World();
    if (w.Form->Zoomed()) w.Form->ButtonZoom->click();
    w.Form->resize(760, 588);
    QApplication::processEvents();
    const uint64_t before = w.Form->ImageDisplay->ConvertedPixels();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(w.Folder / "Overlay.bmp");
        state.ResumeTiming();
        if (w.Form->MakeMasterImage(w.Form->OverlayFile()) != TRunOutcome::Saved) {
            state.SkipWithError("the run did not save");
            break;
        }
        QApplication::processEvents();  // the repaint that shows the new map
    }
    Counters(state, before);
}
BENCHMARK(BM_WindowRunDefaults)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridloom

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    gridloom::SetProgramFileName("Gridloom");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gridloom::World().Form.reset();
    return 0;
}
