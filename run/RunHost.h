// What the generation run needs from whoever starts it (the main window, the command-line
// maker, a test), in three small parts: what it reads, what it reports, and what it asks.
// The owner's own state (cursor, zoom button, closing) is not here: the owner sets it from
// the run's outcome (see TGenerationRun).
#pragma once

#include <string>

#include "render/Bitmap.h"
#include "render/RenderSettings.h"

namespace gridloom {

// What the run reads.
class IRunInputs {
public:
    virtual ~IRunInputs() = default;
    // Where the boundary data is read from (the window's Countries.dat path).
    virtual std::string CountriesFile() = 0;
    // The master image the run draws on; its canvas font is the annotation font.
    virtual TBitmap& MasterBitmap() = 0;
    // Read by the drawing at the moment it draws; may change between the run's stages.
    virtual const IRenderSettings& RenderSettings() = 0;
};

// How the run shows what it is doing: the status line, and the drawing's progress and
// repaints (IDrawProgress).
class IRunFeedback : public IDrawProgress {
public:
    // Replaces the status-line text, then lets pending window messages run. May re-enter
    // the run's owner (a click on "Make image" or "Close" arriving meanwhile).
    virtual void ShowStatus(const std::string& text) = 0;
};

// The four message boxes. Texts may hold carriage returns (character 13) as line breaks.
// Each may let window messages run while it waits, as a dialog's message loop does.
class IRunQuestions {
public:
    virtual ~IRunQuestions() = default;
    // A Yes/No question with a question icon and caption: true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // The warning dialog with OK and Cancel: true for OK.
    virtual bool WarnOkCancel(const std::string& text) = 0;
    // The confirmation dialog with Yes and No: true for Yes.
    virtual bool ConfirmYesNo(const std::string& text) = 0;
    // A plain information message with one OK button.
    virtual void Inform(const std::string& text) = 0;
};

}  // namespace gridloom
