// The main window: the controls the user touches, the paths of the two files, the master
// image as the picture of its image display, and one settings object per stored setting.
//
// Creation builds the controls from the design, lets the "Show boundaries" box take its
// stored state, then runs FormCreate, which finds Skylune's folder and loads the settings
// into the controls. Destruction runs FormDestroy first, which copies the controls back
// into the settings objects and frees them, storing every setting; the check box stores its
// own state after that. Settings are therefore written by an orderly close only.
//
// The window is the generation run's owner: the run reads the render settings from the
// controls while it draws and talks to the user through the status bar, the progress bar
// and message boxes; the window shows the hourglass while the run works, and sets its zoom
// button and closes from the run's outcome.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "run/GenerationRun.h"
#include "run/RunHost.h"
#include "settings/RegistryFont.h"
#include "settings/RegistryVariables.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStatusBar;

namespace gridloom {

class TFontDialog;
class TImageDisplay;
class TmoxCheckBox;
class TRadioGroup;
class TUpDown;
enum class TUDBtnType;

// The window's caption and its client size as designed.
inline constexpr const char* MainWindowCaption = "Gridloom - Make an overlay master image for Skylune";
inline constexpr int DesignClientWidth = 760;
inline constexpr int DesignClientHeight = 588;
inline constexpr int DesignFrameWidth = 8;    // the design's outer 768 less its client 760
inline constexpr int DesignFrameHeight = 34;  // the design's outer 622 less its client 588
inline constexpr int MinimumClientWidth = 631 - DesignFrameWidth;
inline constexpr int MinimumClientHeight = 508 - DesignFrameHeight;

// The client size the window opens at: the design size, made smaller where the screen's
// available area (what the panels leave, less a frame as large as the design's) has no room
// for it, but never smaller than the minimum size.
QSize OpeningClientSize(const QRect& available);

// Skylune's folder from the full path of its program file: everything up to and including
// the last '\', '/' or drive colon; empty when there is none.
std::string HostFolderOf(const std::string& programPath);

class TFormMain : public QWidget,
                  public IRunInputs,
                  public IRunFeedback,
                  public IRunQuestions,
                  private IRenderSettings {
    Q_OBJECT

public:
    explicit TFormMain(ISystemServices& services = SystemServices(), QWidget* parent = nullptr);
    ~TFormMain() override;

    // The About box, made once by the program and shown modally by "About" as often as the
    // user asks. Until one is set "About" shows nothing.
    void SetAboutBox(QDialog* about) { FAboutBox = about; }

    // The controls, in the order they are declared in the design.
    QPushButton* ButtonMake;
    QPushButton* ButtonClose;
    QStatusBar* StatusBar;
    TRadioGroup* RadioGroupGrid;
    QGroupBox* GroupBoxOptions;
    QPushButton* ButtonFont;
    QCheckBox* CheckBoxGridOnTop;
    QCheckBox* CheckBoxShowScale;
    TFontDialog* FontDialog;
    QScrollArea* ScrollBox;
    TImageDisplay* ImageDisplay;
    QPushButton* ButtonZoom;
    QProgressBar* ProgressBar;
    QLabel* LabelProgress;
    QPushButton* ButtonAbout;
    QLineEdit* EditGridlineWidth;
    QLineEdit* EditBoundaryWidth;
    TUpDown* UpDownGridlineWidth;
    TUpDown* UpDownBoundaryWidth;
    QLabel* LabelGridlineWidth;
    QLabel* LabelBoundaryLineWidth;
    TmoxCheckBox* CheckBoxShowBoundaries;

    // Handlers.
    void ButtonMakeClick();
    void ButtonCloseClick();
    void ButtonFontClick();
    void ButtonAboutClick();
    void ButtonZoomClick();
    void UpDownGridlineWidthClick(TUDBtnType button);
    void UpDownBoundaryWidthClick(TUDBtnType button);
    void ScrollBoxResize();
    void ArrangeImageDisplay();

    // Runs the generation run on outputPath; returns when it has ended. A call during a run
    // (a click that arrived meanwhile) is ignored.
    TRunOutcome MakeMasterImage(const std::string& outputPath);

    const std::string& HostFolder() const { return FHostFolder; }
    const std::string& CountriesFilePath() const { return FCountriesFile; }
    const std::string& OverlayFile() const { return FOverlayFile; }
    bool Zoomed() const { return FZoomed; }
    const TRegistryInteger& GridlineWidthSetting() const { return *FGridlineWidthSetting; }
    const TRegistryInteger& BoundaryWidthSetting() const { return *FBoundaryWidthSetting; }
    QString StatusText() const;

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

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // IRenderSettings: read from the controls and the width settings as the drawing asks.
    int GridIndex() const override;
    bool ShowScaleAnnotation() const override;
    bool GridOverlaysCountries() const override;
    bool ShowBoundaries() const override;
    int32_t GridlineWidth() const override { return FGridlineWidthSetting->Value; }
    int32_t BoundaryWidth() const override { return FBoundaryWidthSetting->Value; }

    void CreateControls();
    void SetTabOrder();
    void FormCreate();
    void FormDestroy();
    bool HandleKey(QKeyEvent* key);

    // The fields, in their design order.
    TBitmap* FMasterBitmap = nullptr;  // owned by ImageDisplay's picture
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
    QPointer<QDialog> FAboutBox;
    bool FDestroyed = false;
};

}  // namespace gridloom
