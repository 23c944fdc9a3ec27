// What the main window decides, whatever toolkit draws it: the paths of the two files, the
// master image, one settings object per stored setting, the handlers' effects, the zoom
// mode and the generation run's host. The toolkit's window (IFormMainView) builds and
// draws the controls and calls the handlers below when the user acts.
//
// Creation: the view builds its controls, lets the "Show boundaries" box take its stored
// state, then calls FormCreate, which finds Skylune's folder and loads the settings into the
// controls. Destruction: the view calls FormDestroy before any control goes; it copies the
// controls back into the settings objects and frees them, storing every setting. Settings
// are therefore written by an orderly close only.
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
