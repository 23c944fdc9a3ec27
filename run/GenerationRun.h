// The generation run: the whole job of the program. Loads the boundary data, checks the
// free memory, redraws the master image from scratch, saves it and leaves the file
// read-only so that it is not overwritten by accident. The window, the command-line maker
// and the tests all drive this same code through the interfaces of RunHost.h.
#pragma once

#include <string>
#include <string_view>

#include "platform/SystemServices.h"
#include "platform/Ticks.h"
#include "render/BmpFile.h"
#include "run/RunHost.h"

namespace gridloom {

// Where the zipped boundary data can be fetched when Countries.dat is missing.
constexpr std::string_view CountriesDownloadUrl = "http://www.tarnwick.example/software/countries.zip";

// Below this much free physical memory (whole MiB) the user is warned before drawing.
constexpr uint32_t MinimumFreeMemoryMB = 6;

enum class TRunOutcome {
    Saved,               // the image was written (perhaps after confirming a read-only overwrite)
    SaveCancelled,       // the output was read-only and the user chose not to overwrite it
    SaveFailed,          // the image was drawn but could not be written
    DrawFailed,          // an error while loading or drawing; nothing was saved
    DataMissing,         // no boundary data: the download was offered and the window closed
    LowMemoryCancelled,  // the user cancelled at the low-memory warning
    Ignored,             // a run was already in progress, or the window has been closed
};

// True for a run that went through to its end, whether or not the image was saved: there
// is a picture to look at, and the window offers its zoom again. False for a run stopped at
// the low-memory warning, one that found no data (the window closes) and an ignored call.
bool RunReachedItsEnd(TRunOutcome outcome);

// The run's owner keeps what is its own: a window shows the hourglass while MakeMasterImage
// works, disables its zoom button before and enables it after a run that reached its end,
// and closes once Closed() says so.
class TGenerationRun {
public:
    TGenerationRun(IRunInputs& inputs, IRunFeedback& feedback, IRunQuestions& questions, ISystemServices& services,
                   ITickSource& ticks = SystemTicks());
    ~TGenerationRun();
    TGenerationRun(const TGenerationRun&) = delete;
    TGenerationRun& operator=(const TGenerationRun&) = delete;

    // Makes the master image and saves it to outputPath, reporting every outcome to the
    // user; returns when the run has ended. ShowStatus and the questions let window messages
    // run, so this may be called again from inside a run: such a call is ignored and
    // returns Ignored at once, as does any call once Closed().
    TRunOutcome MakeMasterImage(const std::string& outputPath);

    // The user wants the main window closed. With no run in progress it is Closed() now;
    // during a run the close waits until the run has ended, and the owner closes its window
    // when MakeMasterImage returns with Closed() true.
    void RequestClose();

    // When set, boundary data that end in damage are an error: the run stops before
    // drawing and saves nothing. By default what was read before the damage is drawn and
    // saved, and the user is told at the end of the run.
    void SetRejectDamagedData(bool reject) { FRejectDamagedData = reject; }

    // True when a call of MakeMasterImage would start a run.
    bool CanStart() const { return !FRunning && !FClosed; }
    bool Running() const { return FRunning; }
    // The owner's window is to close, or has closed: the data was missing, or a close was
    // asked for. Every later run is ignored.
    bool Closed() const { return FClosed; }

    // Why the last run failed, in the words of the part that failed (the save or the
    // drawing); empty after a run that did not fail. The user has already been told the
    // run's own message; this is the detail behind it.
    const std::string& LastError() const { return FLastError; }

private:
    TRunOutcome Run(const std::string& outputPath);
    TRunOutcome Save(const std::string& outputPath);
    TSaveResult SaveOnce(const std::string& outputPath, TReadOnlyTarget readOnly);
    TRunOutcome Fail(const std::string& what);

    IRunInputs& FInputs;
    IRunFeedback& FFeedback;
    IRunQuestions& FQuestions;
    ISystemServices& FServices;
    ITickSource& FTicks;
    bool FRunning = false;
    bool FCloseRequested = false;
    bool FClosed = false;
    bool FRejectDamagedData = false;
    std::string FLastError;
};

// The message texts of the run, exactly as the user sees them.
std::string DataMissingCaption();
std::string DataMissingText(const std::string& countriesFile);
std::string LowMemoryText(uint32_t availableMB);
std::string SaveErrorText(const std::string& outputPath);
std::string DrawErrorText(const std::string& what);
// Why the run could not use a boundary data file that exists.
std::string UnreadableDataText(const std::string& countriesFile, const std::string& reason);
// Where damaged boundary data ended the load, and why.
std::string DamagedDataText(const std::string& countriesFile, std::size_t stopOffset, const std::string& damage);
// The message at the end of a run that drew damaged data: the above, and what was drawn.
std::string DamagedDataDrawnText(const std::string& countriesFile, std::size_t stopOffset, const std::string& damage,
                                 int segments);

}  // namespace gridloom
