// What the main window decides, whatever toolkit draws it: the paths of the two files, the
// master image, one settings object per stored setting, the handlers' effects, the zoom
// mode and the generation run's host. The toolkit's window (IFormMainView) builds and
// draws the controls and calls the handlers below when the user acts.
//
// A toolkit's window starts and ends in this order, and in no other:
//
//   Start (the window's construction):
//     1. make the logic (TFormMainLogic(view)); it touches no control yet, so the window may
//        make it before its controls and let its size events reach ScrollBoxResize at once;
//     2. build the controls in their design states ("Show boundaries" checked, "10 degrees",
//        both widths 1, Zoom disabled with "Zoom in");
//     3. open a TRegistrySession(Loading) (platform/RegistrySession.h), so that all settings
//        are read as one;
//     4. the "Show boundaries" box's TmoxCheckState::Loaded (settings/moxCheckState.h) with
//        the box's name and design state; show what it returns without running a handler;
//     5. FormCreate;
//     6. close the session.
//
//   Close (the user's close, "Close", Esc, or CloseWindow from the logic):
//     1. CloseQuery; on false the window stays open (a run is working: the logic closes the
//        window itself when the run has ended);
//     2. the window goes away and the message loop ends;
//   then, at the window's destruction, before any control goes:
//     3. open a TRegistrySession(Storing), so that all settings are written as one;
//     4. FormDestroy (writes the window's settings);
//     5. the box's TmoxCheckState::Destroying with its current state (writes "ShowBoundaries",
//        after the window's own settings);
//     6. close the session, then destroy the controls and the logic.
//
// Settings are therefore written by an orderly close only.
//
// The run reads the render settings from the view's controls (and the two widths from
// their settings objects) at the moment it draws, and talks to the user through the view's
// status bar, progress bar and message boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/FormMainView.h"
#include "platform/SystemServices.h"
#include "run/GenerationRun.h"
#include "run/RunHost.h"
#include "settings/RegistryFont.h"
#include "settings/RegistryVariables.h"

namespace gridloom {

// The window's caption.
inline constexpr const char* MainWindowCaption = "Gridloom - Make an overlay master image for Skylune";

// Skylune's folder from the full path of its program file: everything up to and including
// the last '\', '/' or drive colon; empty when there is none.
std::string HostFolderOf(const std::string& programPath);

class TFormMainLogic : public IRunInputs, public IRunFeedback, public IRunQuestions, private IRenderSettings {
public:
    explicit TFormMainLogic(IFormMainView& view, ISystemServices& services = SystemServices());
    ~TFormMainLogic() override;
    TFormMainLogic(const TFormMainLogic&) = delete;
    TFormMainLogic& operator=(const TFormMainLogic&) = delete;

    // Once, after the view's controls exist and the "Show boundaries" box has its state.
    // Reads Skylune's folder and every setting, and sets the controls from them.
    void FormCreate();
    // Once, before any of the view's controls goes; a second call does nothing.
    void FormDestroy();
    // Whether the window may close now. During a run it may not: the close is remembered,
    // and the window closes (CloseWindow) when the run ends.
    bool CloseQuery();

    // Handlers.
    void ButtonMakeClick();
    void ButtonCloseClick();
    void ButtonFontClick();
    void ButtonAboutClick();
    void ButtonZoomClick();
    void UpDownGridlineWidthClick();
    void UpDownBoundaryWidthClick();
    void ScrollBoxResize();
    void ArrangeImageDisplay();

    // Runs the generation run on outputPath; returns when it has ended. A call during a run
    // (a click that arrived meanwhile) is ignored.
    TRunOutcome MakeMasterImage(const std::string& outputPath);

    const std::string& HostFolder() const { return FHostFolder; }
    const std::string& CountriesFilePath() const { return FCountriesFile; }
    const std::string& OverlayFile() const { return FOverlayFile; }
    bool Zoomed() const { return FZoomed; }
    bool Running() const;
    const TRegistryInteger& GridlineWidthSetting() const { return *FGridlineWidthSetting; }
    const TRegistryInteger& BoundaryWidthSetting() const { return *FBoundaryWidthSetting; }

    // IRunInputs
    std::string CountriesFile() override { return FCountriesFile; }
    TBitmap& MasterBitmap() override { return *FMasterBitmap; }
    const IRenderSettings& RenderSettings() override { return *this; }
    // IRunFeedback
    void ShowStatus(const std::string& text) override;
    void SetProgress(int position) override;
    void RefreshDisplay() override;
    // IRunQuestions
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    bool WarnOkCancel(const std::string& text) override;
    bool ConfirmYesNo(const std::string& text) override;
    void Inform(const std::string& text) override;

private:
    // IRenderSettings: read from the view's controls and the width settings as the drawing
    // asks.
    int GridIndex() const override;
    bool ShowScaleAnnotation() const override;
    bool GridOverlaysCountries() const override;
    bool ShowBoundaries() const override;
    int32_t GridlineWidth() const override { return FGridlineWidthSetting->Value; }
    int32_t BoundaryWidth() const override { return FBoundaryWidthSetting->Value; }

    IFormMainView& FView;

    // The fields, in their design order.
    TBitmap* FMasterBitmap = nullptr;  // owned by the display's picture
    std::unique_ptr<TRegistryInteger> FBoundaryWidthSetting;
    std::string FCountriesFile;
    std::unique_ptr<TRegistryFont> FFontSetting;
    std::unique_ptr<TRegistryInteger> FGridSpacingSetting;
    std::unique_ptr<TRegistryInteger> FGridlineWidthSetting;
    std::unique_ptr<TRegistryBoolean> FGridOnTopSetting;
    std::unique_ptr<TRegistryBoolean> FAnnotationSetting;
    std::string FOverlayFile;
    std::string FHostFolder;
    bool FZoomed = false;

    std::unique_ptr<TGenerationRun> FRun;
    bool FDestroyed = false;
};

}  // namespace gridloom
