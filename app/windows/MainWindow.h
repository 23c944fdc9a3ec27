// The main window as Windows' own controls: the view of TFormMainLogic, which decides
// everything; this class builds the controls at their design places, reports the user's
// actions to the logic and shows what the logic asks for.
//
// Start: the logic is made first (so the window's size events may reach it at once), then
// the controls in their design states, then, within one registry session, the "Show
// boundaries" box takes its stored state and the logic's FormCreate loads the settings.
// Close: the logic's CloseQuery may refuse (a run is working; the logic closes the window
// when the run ends); at the window's destruction, before any control goes and within one
// registry session, FormDestroy stores the settings and then the box stores its own state.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/FormMainLogic.h"
#include "app/FormMainView.h"
#include "app/windows/ImageDisplayWindow.h"
#include "app/windows/WindowsApi.h"
#include "settings/moxCheckState.h"

namespace gridloom {

class TMainWindow : public IFormMainView {
public:
    // showAbout shows the About box modally over the given owner; empty until there is one.
    explicit TMainWindow(HINSTANCE instance, std::function<void(HWND)> showAbout = {},
                         ISystemServices& services = SystemServices());
    ~TMainWindow() override;
    TMainWindow(const TMainWindow&) = delete;
    TMainWindow& operator=(const TMainWindow&) = delete;

    HWND Handle() const { return FWindow; }
    void SetAboutBox(std::function<void(HWND)> showAbout) { FShowAbout = std::move(showAbout); }
    // Shows the window, the keyboard on the chosen grid interval.
    void Show(int showCommand);

    // IFormMainView
    int GridItemIndex() const override;
    void SetGridItemIndex(int index) override;
    bool Checked(TFormCheckBox box) const override;
    void SetChecked(TFormCheckBox box, bool checked) override;
    int16_t UpDownPosition(TFormWidth width) const override;
    void SetUpDownPosition(TFormWidth width, int16_t position) override;
    void TakeTypedWidths() override;
    void SetZoomEnabled(bool enabled) override;
    void SetZoomCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void ProcessMessages() override;
    void SetProgress(int position) override;
    void SetBusy(bool busy) override;
    TBitmap& NewPicture() override;
    int ScrollBoxWidth() const override;
    int ScrollBoxHeight() const override;
    void SetDisplayStretch(bool stretch) override;
    void SetDisplaySize(int width, int height) override;
    void SetScrollBarsInUse(bool inUse) override;
    void RepaintDisplay() override;
    bool ShowMessage(TMessageIcon icon, const std::string& caption, const std::string& text,
                     TMessageButtons buttons) override;
    std::string ApplicationTitle() const override;
    bool ExecuteFontDialog(TFont& font) override;
    void ShowAboutBox() override;
    void CloseWindow() override;

    // The controls, in the order they are declared in the design.
    HWND ButtonMake = nullptr;
    HWND ButtonClose = nullptr;
    HWND StatusBar = nullptr;
    HWND RadioGroupGrid = nullptr;  // the frame; its buttons are GridButtons
    HWND GroupBoxOptions = nullptr;
    HWND ButtonFont = nullptr;
    HWND CheckBoxGridOnTop = nullptr;
    HWND CheckBoxShowScale = nullptr;
    HWND ScrollBox = nullptr;  // with ImageDisplay, the display window
    HWND ButtonZoom = nullptr;
    HWND ProgressBar = nullptr;
    HWND LabelProgress = nullptr;
    HWND ButtonAbout = nullptr;
    HWND EditGridlineWidth = nullptr;
    HWND EditBoundaryWidth = nullptr;
    HWND UpDownGridlineWidth = nullptr;
    HWND UpDownBoundaryWidth = nullptr;
    HWND LabelGridlineWidth = nullptr;
    HWND LabelBoundaryLineWidth = nullptr;
    HWND CheckBoxShowBoundaries = nullptr;
    std::array<HWND, 8> GridButtons{};

    // Every message of the window, from its window procedure (platform/windows/WindowOwner.h).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void CreateControls();
    void ApplyFont();
    void ArrangeControls();
    void OnCommand(int id, int code, HWND control);
    void OnUpDownStep(HWND upDown, int16_t position);
    void TakeTypedWidth(TFormWidth width);
    void FollowFocus();
    void MarkGridTabStop();
    void StoreAndQuit();
    HWND UpDownOf(TFormWidth width) const;
    HWND EditOf(TFormWidth width) const;
    HWND CheckBoxOf(TFormCheckBox box) const;

    HINSTANCE FInstance;
    HWND FWindow = nullptr;
    std::unique_ptr<TFormMainLogic> FLogic;
    std::unique_ptr<TImageDisplayWindow> FDisplay;
    TmoxCheckState FShowBoundariesState;
    std::function<void(HWND)> FShowAbout;
    HFONT FFont = nullptr;
    HWND FTooltip = nullptr;
    HWND FLastFocus = nullptr;
    int FTextHeight = 13;
    int FScrollBoxWidth = -1;  // the outer size ScrollBoxResize last ran for
    int FScrollBoxHeight = -1;
    std::array<int16_t, 2> FPositions{1, 1};  // the up-downs' positions, as last shown
    bool FBusy = false;
    bool FStored = false;
};

}  // namespace gridloom
