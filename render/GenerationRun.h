// The generation run: the whole job of the program. Loads the boundary data, checks the
// free memory, redraws the master image from scratch, saves it and leaves the file
// read-only so that it is not overwritten by accident. The window, the command-line maker
// and the tests all drive this same code through an IRunHost.
#pragma once

#include <string>
#include <string_view>

#include "platform/SystemServices.h"
#include "platform/Ticks.h"
#include "render/BmpFile.h"
#include "render/RunHost.h"

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

class TGenerationRun {
public:
    TGenerationRun(IRunHost& host, ISystemServices& services, ITickSource& ticks = SystemTicks());
    ~TGenerationRun();
    TGenerationRun(const TGenerationRun&) = delete;
    TGenerationRun& operator=(const TGenerationRun&) = delete;

    // Makes the master image and saves it to outputPath, reporting every outcome to the
    // user through the host; returns when the run has ended. The host's ShowStatus lets
    // window messages run, so this may be called again from inside a run: such a call is
    // ignored and returns Ignored at once, as does any call once the window has closed.
    TRunOutcome MakeMasterImage(const std::string& outputPath);

    // The user wants the main window closed. With no run in progress the window is closed
    // through the host now; during a run the close waits until the run has ended. The
    // host's CloseMainWindow is called at most once in the life of this object.
    void RequestClose();

    // When set, boundary data that end in damage are an error: the run stops before
    // drawing and saves nothing. By default what was read before the damage is drawn and
    // saved, and the user is told at the end of the run.
    void SetRejectDamagedData(bool reject) { FRejectDamagedData = reject; }

    bool Running() const { return FRunning; }
    bool Closed() const { return FClosed; }

    // Why the last run failed, in the words of the part that failed (the save or the
    // drawing); empty after a run that did not fail. The user has already been told the
    // run's own message; this is the detail behind it.
    const std::string& LastError() const { return FLastError; }

private:
    TRunOutcome Run(const std::string& outputPath);
    TRunOutcome Save(const std::string& outputPath);
    TSaveResult SaveOnce(const std::string& outputPath, TReadOnlyTarget readOnly);
    TRunOutcome Fail(const std::string& what, bool cursorChanged, TCursor savedCursor);
    void CloseWindow();

    IRunHost& FHost;
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
