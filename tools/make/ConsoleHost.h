// The window's part in a generation run, played on a terminal: status lines and dialogs
// become messages on the error stream, and the dialogs get the answers the command line
// gave in advance.
#pragma once

#include <cstdio>
#include <string>

#include "run/RunHost.h"
#include "tools/make/MakeOptions.h"

namespace gridloom {

class TConsoleHost final : public IRunInputs, public IRunFeedback, public IRunQuestions, private IRenderSettings {
public:
    // terminal: err is a terminal, so a progress bar may be drawn on it.
    TConsoleHost(const TMakeOptions& options, std::FILE* err, bool terminal);

    std::string CountriesFile() override { return FOptions.DataPath; }
    TBitmap& MasterBitmap() override { return FBitmap; }
    const IRenderSettings& RenderSettings() override { return *this; }

    void ShowStatus(const std::string& text) override;

    // No one is there to answer: no download, carry on when memory is low, and overwrite
    // a read-only image only when --overwrite-readonly said so.
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    bool WarnOkCancel(const std::string& text) override;
    bool ConfirmYesNo(const std::string& text) override;
    void Inform(const std::string& text) override;

    void SetProgress(int position) override;
    void RefreshDisplay() override {}

    // Prints an error line, whatever --quiet says.
    void Error(const std::string& text);

private:
    int GridIndex() const override { return FOptions.GridIndex; }
    bool ShowScaleAnnotation() const override { return FOptions.Labels; }
    bool GridOverlaysCountries() const override { return FOptions.GridOnTop; }
    bool ShowBoundaries() const override { return FOptions.ShowBoundaries; }
    int32_t GridlineWidth() const override { return FOptions.GridlineWidth; }
    int32_t BoundaryWidth() const override { return FOptions.BoundaryWidth; }

    void Print(const std::string& text);
    void EraseBar();

    TMakeOptions FOptions;
    std::FILE* FErr;
    bool FTerminal;
    TBitmap FBitmap;
    int FBarShown = 0;  // the percentage on screen; 0 when no bar is drawn
};

// Message-box text on a terminal: carriage returns become line breaks.
std::string ConsoleText(const std::string& text);

}  // namespace gridloom
