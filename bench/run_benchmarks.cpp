// Time of one whole generation run on the sample data, the saving to disk included, with
// the default settings and with everything the window can switch on; and the run that
// writes a new image rather than replacing one, which waits for the new file's data to
// reach the disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/SystemServices.h"
#include "run/GenerationRun.h"

namespace gridloom {
namespace {

class TQuietHost final : public IRunInputs, public IRunFeedback, public IRunQuestions, private IRenderSettings {
public:
    std::string Countries = std::string(GRIDLOOM_SOURCE_DIR) + "/sample/Countries.dat";
    TBitmap Bitmap;
    bool Labels = false;
    bool OnTop = false;

    TQuietHost() {
        Bitmap.Canvas().Font.Name = "Arial";
        Bitmap.Canvas().Font.Size = 11;
        Bitmap.Canvas().Font.Style = fsBold;
    }
    std::string CountriesFile() override { return Countries; }
    TBitmap& MasterBitmap() override { return Bitmap; }
    const IRenderSettings& RenderSettings() override { return *this; }
    void ShowStatus(const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    bool WarnOkCancel(const std::string&) override { return true; }
    bool ConfirmYesNo(const std::string&) override { return true; }
    void Inform(const std::string&) override {}
    void SetProgress(int) override {}
    void RefreshDisplay() override {}

private:
    int GridIndex() const override { return 3; }
    bool ShowScaleAnnotation() const override { return Labels; }
    bool GridOverlaysCountries() const override { return OnTop; }
    bool ShowBoundaries() const override { return true; }
    int32_t GridlineWidth() const override { return 1; }
    int32_t BoundaryWidth() const override { return 1; }
};

void RunWith(benchmark::State& state, bool everything, bool newFile = false) {
    std::string folder = (std::filesystem::temp_directory_path() / "gridloom-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string out = folder + "/Overlay.bmp";
    TQuietHost host;
    host.Labels = host.OnTop = everything;
    TGenerationRun run(host, host, host, SystemServices());
    for (auto _ : state) {
        if (newFile) {
            state.PauseTiming();
            std::filesystem::remove(out);
            state.ResumeTiming();
        }
        // Each run after the first overwrites a read-only file, as at the user's desk.
        if (run.MakeMasterImage(out) != TRunOutcome::Saved) {
            state.SkipWithError("the run did not save");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}

void BM_GenerationRunDefaults(benchmark::State& state) { RunWith(state, false); }
void BM_GenerationRunLabelsOnTop(benchmark::State& state) { RunWith(state, true); }
void BM_GenerationRunNewFile(benchmark::State& state) { RunWith(state, false, true); }

BENCHMARK(BM_GenerationRunDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerationRunLabelsOnTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerationRunNewFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridloom
