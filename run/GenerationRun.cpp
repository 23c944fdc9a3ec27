#include "run/GenerationRun.h"

#include <exception>
#include <memory>
#include <new>

#include "data/Cartography.h"
#include "data/NothingReadable.h"
#include "platform/FileAttributes.h"
#include "render/Boundaries.h"
#include "render/Grid.h"
#include "render/MasterImage.h"

namespace gridloom {

namespace {

constexpr char CR = '\r';

const std::string StatusCreating = "Creating overlay master image, please wait...";
const std::string StatusAllocating = "Overlay master image, allocating memory...";
// "bondaries" is how the status line has always read; users and documentation know it so.
const std::string StatusGenerating = "Overlay master image, generating country bondaries";
const std::string StatusSaving = "Overlay master image, saving image, please wait...";
const std::string StatusSavedTo = "Overlay master image saved to ";
const std::string StatusNotSaved = "Overlay master image could not be saved";
const std::string StatusSaveCancelled = "Overlay master image save cancelled by user";
const std::string StatusNotGenerated = "Overlay master image could not be generated";
const std::string OverwriteQuestion = "Do you wish to overwrite the existing read-only file?";

// Clears the running flag however the run ends, even if the host throws.
class TRunningGuard {
public:
    explicit TRunningGuard(bool& running) : FRunning(running) { FRunning = true; }
    ~TRunningGuard() { FRunning = false; }
    TRunningGuard(const TRunningGuard&) = delete;
    TRunningGuard& operator=(const TRunningGuard&) = delete;

private:
    bool& FRunning;
};

}  // namespace

std::string DataMissingCaption() { return "Skylune - Country and State boundary data missing"; }

std::string DataMissingText(const std::string& countriesFile) {
    return "Gridloom cannot find the file " + countriesFile + "!" + CR + "Would you like to download " +
           "the zipped Country and State boundary data from my Web site?" + CR + CR +
           std::string(CountriesDownloadUrl) + " (size 459KB)";
}

std::string LowMemoryText(uint32_t availableMB) {
    return "Less than " + std::to_string(MinimumFreeMemoryMB) + " MB physical memory available (" +
           std::to_string(availableMB) + " MB found).  Generating the master overlay bitmap on this " +
           "PC may take many minutes, so instead you can download the " +
           "zipped overlay bitmap from the Web site (413KB).  Click " + " Help for more information on downloading." +
           CR + CR + "OK to continue to generate the master overlay, or cancel?";
}

std::string SaveErrorText(const std::string& outputPath) {
    return "Error saving overlay master image to " + outputPath + ".  If Skylune is open, you must close it before " +
           "trying again.";
}

std::string DrawErrorText(const std::string& what) { return "Error generating overlay master image: " + what; }

std::string UnreadableDataText(const std::string& countriesFile, const std::string& reason) {
    return "cannot read the boundary data file " + countriesFile + ": " + reason + ".";
}

std::string DamagedDataText(const std::string& countriesFile, std::size_t stopOffset, const std::string& damage) {
    return "the boundary data file " + countriesFile + " is damaged: reading stopped at byte " +
           std::to_string(stopOffset) + ", where " + damage + ".";
}

std::string DamagedDataDrawnText(const std::string& countriesFile, std::size_t stopOffset, const std::string& damage,
                                 int segments) {
    return "The image is incomplete: " + DamagedDataText(countriesFile, stopOffset, damage) + CR + "Only the " +
           std::to_string(segments) + (segments == 1 ? " segment" : " segments") + " read before that point " +
           (segments == 1 ? "was" : "were") + " drawn.";
}

bool RunReachedItsEnd(TRunOutcome outcome) {
    switch (outcome) {
    case TRunOutcome::Saved:
    case TRunOutcome::SaveCancelled:
    case TRunOutcome::SaveFailed:
    case TRunOutcome::DrawFailed: return true;
    case TRunOutcome::DataMissing:
    case TRunOutcome::LowMemoryCancelled:
    case TRunOutcome::Ignored: return false;
    }
    return false;
}

TGenerationRun::TGenerationRun(IRunInputs& inputs, IRunFeedback& feedback, IRunQuestions& questions,
                               ISystemServices& services, ITickSource& ticks)
    : FInputs(inputs), FFeedback(feedback), FQuestions(questions), FServices(services), FTicks(ticks) {}

TGenerationRun::~TGenerationRun() = default;

TRunOutcome TGenerationRun::MakeMasterImage(const std::string& outputPath) {
    if (FRunning || FClosed) return TRunOutcome::Ignored;
    TRunOutcome outcome;
    {
        TRunningGuard guard(FRunning);
        FLastError.clear();
        outcome = Run(outputPath);
    }
    // A close asked for while the run was busy is carried out now that it has ended.
    if (FCloseRequested) FClosed = true;
    return outcome;
}

void TGenerationRun::RequestClose() {
    if (FRunning)
        FCloseRequested = true;
    else
        FClosed = true;
}

TRunOutcome TGenerationRun::Run(const std::string& outputPath) {
    // The list lives only for the drawing; every way out of the run releases it.
    auto list = std::make_unique<TCartogList>();
    const std::string countriesFile = FInputs.CountriesFile();
    try {
        list->LoadFromFile(countriesFile);
    } catch (const std::exception& e) {
        list.reset();
        return Fail(e.what());
    }
    const TLoadReport loaded = list->LoadReport();

    // A file that is there but cannot be read is not missing: downloading another would
    // not help, and the window stays open for the user to put it right.
    if (loaded.File == TLoadReport::TFile::Unreadable) {
        list.reset();
        return Fail(UnreadableDataText(countriesFile, loaded.FileError));
    }

    if (const auto damage = list->Count() == 0 ? NothingReadable(loaded) : std::nullopt) {
        list.reset();
        return Fail(DamagedDataText(countriesFile, loaded.StopOffset, *damage));
    }
    if (list->Count() == 0) {
        list.reset();
        if (FQuestions.AskYesNo(DataMissingCaption(), DataMissingText(countriesFile)))
            FServices.ShellOpen(std::string(CountriesDownloadUrl));
        // Without data there is nothing this program can do: it closes.
        FClosed = true;
        return TRunOutcome::DataMissing;
    }

    if (loaded.Damaged && FRejectDamagedData) {
        list.reset();
        return Fail(DamagedDataText(countriesFile, loaded.StopOffset, loaded.Damage));
    }
    const int segmentsRead = list->Count();

    const uint32_t availableMB = FServices.AvailablePhysicalMB();
    if (availableMB < MinimumFreeMemoryMB && !FQuestions.WarnOkCancel(LowMemoryText(availableMB)))
        return TRunOutcome::LowMemoryCancelled;

    try {
        FFeedback.ShowStatus(StatusCreating);
        FFeedback.ShowStatus(StatusAllocating);
        TBitmap& bitmap = FInputs.MasterBitmap();
        ResetMasterImage(bitmap);
        FFeedback.ShowStatus(StatusGenerating);

        TCanvas& canvas = bitmap.Canvas();
        canvas.PolyFillMode = TPolyFillMode::Winding;
        canvas.Pen.Style = TPenStyle::Solid;
        // The box is read at each test: the user may tick it while the boundaries draw
        // (status changes let clicks through), and the second test must see that.
        if (!FInputs.RenderSettings().GridOverlaysCountries()) DrawGrid(canvas, FInputs.RenderSettings());
        DrawBoundaries(canvas, *list, FInputs.RenderSettings(), FFeedback, FTicks);
        if (FInputs.RenderSettings().GridOverlaysCountries()) DrawGrid(canvas, FInputs.RenderSettings());
    } catch (const std::bad_alloc&) {
        list.reset();
        return Fail("not enough memory");
    } catch (const std::exception& e) {
        list.reset();
        return Fail(e.what());
    }
    list.reset();

    FFeedback.ShowStatus(StatusSaving);
    const TRunOutcome outcome = Save(outputPath);

    FFeedback.SetProgress(0);
    // Told once, last, whatever became of the save: the image on screen lacks what the
    // damage cut off either way.
    if (loaded.Damaged) {
        FFeedback.RefreshDisplay();  // the message comes over the finished map
        FQuestions.Inform(DamagedDataDrawnText(countriesFile, loaded.StopOffset, loaded.Damage, segmentsRead));
    }
    return outcome;
}

TRunOutcome TGenerationRun::Fail(const std::string& what) {
    FLastError = what;
    FFeedback.ShowStatus(StatusNotGenerated);
    FFeedback.SetProgress(0);
    FQuestions.Inform(DrawErrorText(what));
    return TRunOutcome::DrawFailed;
}

TSaveResult TGenerationRun::SaveOnce(const std::string& outputPath, TReadOnlyTarget readOnly) {
    // No error of the save step may escape the run.
    try {
        TSaveResult result = SaveBitmapFile(FInputs.MasterBitmap(), outputPath, readOnly);
        if (!result) FLastError = result.Error;
        return result;
    } catch (const std::exception& e) {
        FLastError = e.what();
        return TSaveResult{false, e.what()};
    }
}

TRunOutcome TGenerationRun::Save(const std::string& outputPath) {
    if (SaveOnce(outputPath, TReadOnlyTarget::Refuse)) {
        const uint32_t attributes = FServices.GetFileAttributes(outputPath);
        FServices.SetFileAttributes(outputPath, attributes | FILE_ATTRIBUTE_READONLY);
        FFeedback.ShowStatus(StatusSavedTo + outputPath);
        return TRunOutcome::Saved;
    }

    FFeedback.ShowStatus(StatusNotSaved);
    const uint32_t attributes = FServices.GetFileAttributes(outputPath);
    // A folder or a device in the output's place is never "a read-only file": no answer
    // would let the save replace it.
    if (!IsReadOnlyRegularFile(attributes)) {
        FQuestions.Inform(SaveErrorText(outputPath));
        return TRunOutcome::SaveFailed;
    }

    if (!FQuestions.ConfirmYesNo(OverwriteQuestion)) {
        FFeedback.ShowStatus(StatusSaveCancelled);
        return TRunOutcome::SaveCancelled;
    }
    // The new file replaces the old one whole, so the old one's read-only bit need never be
    // cleared, and a save that fails again leaves it read-only as it was.
    FFeedback.ShowStatus(StatusSaving);
    if (!SaveOnce(outputPath, TReadOnlyTarget::Replace)) {
        FFeedback.ShowStatus(StatusNotSaved);
        FQuestions.Inform(SaveErrorText(outputPath));
        return TRunOutcome::SaveFailed;
    }
    FLastError.clear();  // the first failure was only the read-only file, now overwritten
    FServices.SetFileAttributes(outputPath, attributes);
    FFeedback.ShowStatus(StatusSavedTo + outputPath);
    return TRunOutcome::Saved;
}

}  // namespace gridloom
