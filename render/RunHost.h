// Everything the generation run needs from whoever starts it: the main window, the
// command-line maker or a test. This is the run's whole contact with its owner.
#pragma once

#include <string>

#include "render/Bitmap.h"
#include "render/RenderSettings.h"

namespace gridloom {

// Screen cursors, numbered as the window toolkit numbers them.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHourGlass = -11;

class IRunHost : public IDrawProgress {
public:
    // Where the boundary data is read from (the window's Countries.dat path).
    virtual std::string CountriesFile() = 0;
    // The master image the run draws on; its canvas font is the annotation font.
    virtual TBitmap& MasterBitmap() = 0;
    // Read by the drawing at the moment it draws; may change between the run's stages.
    virtual const IRenderSettings& RenderSettings() = 0;

    // Replaces the status-line text, then lets pending window messages run. May re-enter
    // the run's owner (a click on "Make image" or "Close" arriving meanwhile).
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void SetZoomEnabled(bool enabled) = 0;
    virtual TCursor Cursor() = 0;
    virtual void SetCursor(TCursor cursor) = 0;

    // The four message boxes. Texts may hold carriage returns (character 13) as line breaks.
    // A Yes/No question with a question icon and caption: true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // The warning dialog with OK and Cancel: true for OK.
    virtual bool WarnOkCancel(const std::string& text) = 0;
    // The confirmation dialog with Yes and No: true for Yes.
    virtual bool ConfirmYesNo(const std::string& text) = 0;
    // A plain information message with one OK button.
    virtual void Inform(const std::string& text) = 0;

    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;
};

}  // namespace gridloom
