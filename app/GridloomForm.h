// The main window in Qt Widgets: the controls the user touches, drawn and laid out as
// designed, reporting the user's actions to the window's logic (TFormMainLogic), which
// decides everything else: the paths of the two files, the master image, the settings, the
// handlers' effects, the zoom mode and the generation run.
//
// Creation builds the controls from the design, lets the "Show boundaries" box take its
// stored state, then runs the logic's FormCreate, which finds Skylune's folder and loads the
// settings into the controls. Destruction runs FormDestroy first, which copies the controls
// back into the settings objects and frees them, storing every setting; the check box stores
// its own state after that (the order FormMainLogic.h describes). Settings are therefore
// written by an orderly close only.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/FormMainLogic.h"
#include "app/FormMainView.h"

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

// The window's client size as designed.
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

class TFormMain : public QWidget, private IFormMainView {
    Q_OBJECT

public:
    explicit TFormMain(ISystemServices& services = SystemServices(), QWidget* parent = nullptr);
    ~TFormMain() override;

    // What the window decides; the controls below only show it and report to it.
    TFormMainLogic& Logic() { return *FLogic; }
    const TFormMainLogic& Logic() const { return *FLogic; }

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

    // The logic's state and the run's host, as seen from the window.
    TRunOutcome MakeMasterImage(const std::string& outputPath) { return FLogic->MakeMasterImage(outputPath); }
    const std::string& HostFolder() const { return FLogic->HostFolder(); }
    const std::string& CountriesFilePath() const { return FLogic->CountriesFilePath(); }
    const std::string& OverlayFile() const { return FLogic->OverlayFile(); }
    bool Zoomed() const { return FLogic->Zoomed(); }
    TBitmap& MasterBitmap() { return FLogic->MasterBitmap(); }
    const IRenderSettings& RenderSettings() { return FLogic->RenderSettings(); }
    void ShowStatus(const std::string& text) { FLogic->ShowStatus(text); }
    QString StatusText() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
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

    void CreateControls();
    void SetTabOrder();
    bool HandleKey(QKeyEvent* key);
    QCheckBox* Box(TFormCheckBox box) const;
    TUpDown* UpDown(TFormWidth width) const;

    std::unique_ptr<TFormMainLogic> FLogic;
    QPointer<QDialog> FAboutBox;
};

}  // namespace gridloom
