#include "app/FormMainLogic.h"

#include "run/FirstStart.h"
#include "settings/AppPath.h"

namespace gridloom {

namespace {

// The low 16 bits of a stored width, as the signed position of an up-down.
int16_t LowWord(int32_t value) { return int16_t(uint16_t(uint32_t(value) & 0xffffu)); }

// The hourglass while a run works, taken away however the run ends.
class TBusy {
public:
    explicit TBusy(IFormMainView& view) : FView(view) { FView.SetBusy(true); }
    ~TBusy() { FView.SetBusy(false); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    IFormMainView& FView;
};

}  // namespace

std::string HostFolderOf(const std::string& programPath) {
    const std::size_t last = programPath.find_last_of("\\/:");
    return last == std::string::npos ? std::string() : programPath.substr(0, last + 1);
}

TFormMainLogic::TFormMainLogic(IFormMainView& view, ISystemServices& services) : FView(view) {
    FRun = std::make_unique<TGenerationRun>(*this, *this, *this, services);
}

TFormMainLogic::~TFormMainLogic() = default;

void TFormMainLogic::FormCreate() {
    FHostFolder = HostFolderOf(ReadAppPath("Skylune"));
    FCountriesFile = FHostFolder + "Countries.dat";
    FOverlayFile = FHostFolder + "Overlay.bmp";

    // A new bitmap is 8 bits a pixel on the default palette already.
    FMasterBitmap = &FView.NewPicture();
    TFont& font = FMasterBitmap->Canvas().Font;
    font.Size = FirstStart::FontSize;
    font.Style = FirstStart::FontStyle;
    font.Name = FirstStart::FontName;

    FFontSetting = std::make_unique<TRegistryFont>("Font", &font);
    FGridSpacingSetting = std::make_unique<TRegistryInteger>("GridSpacing", FirstStart::GridIndex);
    FView.SetGridItemIndex(FGridSpacingSetting->Value);
    FAnnotationSetting = std::make_unique<TRegistryBoolean>("Annotation", FirstStart::Labels);
    FView.SetChecked(TFormCheckBox::ShowScale, FAnnotationSetting->Value);
    FGridOnTopSetting = std::make_unique<TRegistryBoolean>("GridOnTop", FirstStart::GridOnTop);
    FView.SetChecked(TFormCheckBox::GridOnTop, FGridOnTopSetting->Value);
    FGridlineWidthSetting = std::make_unique<TRegistryInteger>("GridlineWidth", FirstStart::GridlineWidth);
    FView.SetUpDownPosition(TFormWidth::Gridline, LowWord(FGridlineWidthSetting->Value));
    FBoundaryWidthSetting = std::make_unique<TRegistryInteger>("BoundaryWidth", FirstStart::BoundaryWidth);
    FView.SetUpDownPosition(TFormWidth::Boundary, LowWord(FBoundaryWidthSetting->Value));
}

void TFormMainLogic::FormDestroy() {
    if (FDestroyed || !FGridSpacingSetting) return;
    FDestroyed = true;
    FGridSpacingSetting->Value = GridIndex();
    FGridSpacingSetting.reset();
    FAnnotationSetting->Value = FView.Checked(TFormCheckBox::ShowScale);
    FAnnotationSetting.reset();
    FGridOnTopSetting->Value = FView.Checked(TFormCheckBox::GridOnTop);
    FGridOnTopSetting.reset();
    FFontSetting->CopyFromFont(&FMasterBitmap->Canvas().Font);
    FFontSetting.reset();
    FGridlineWidthSetting.reset();
    FBoundaryWidthSetting.reset();
}

bool TFormMainLogic::CloseQuery() {
    // A close asked for during a run waits for the run to end; MakeMasterImage then closes.
    if (FRun->Running() && !FRun->Closed()) {
        FRun->RequestClose();
        return false;
    }
    return true;
}

int TFormMainLogic::GridIndex() const {
    const int shown = FView.GridItemIndex();
    // A stored index without a button checks none; until the user picks one, the stored
    // index stands, drawn as 10 degrees and written back as it was.
    if (shown < 0 && FGridSpacingSetting) return FGridSpacingSetting->Value;
    return shown;
}

bool TFormMainLogic::ShowScaleAnnotation() const { return FView.Checked(TFormCheckBox::ShowScale); }
bool TFormMainLogic::GridOverlaysCountries() const { return FView.Checked(TFormCheckBox::GridOnTop); }
bool TFormMainLogic::ShowBoundaries() const { return FView.Checked(TFormCheckBox::ShowBoundaries); }

bool TFormMainLogic::Running() const { return FRun->Running(); }

void TFormMainLogic::ButtonMakeClick() {
    // A width typed but not yet taken (its box still has the focus) is the one drawn.
    FView.TakeTypedWidths();
    MakeMasterImage(FOverlayFile);
}

TRunOutcome TFormMainLogic::MakeMasterImage(const std::string& outputPath) {
    if (!FRun->CanStart() || FMasterBitmap == nullptr) return TRunOutcome::Ignored;
    FView.SetZoomEnabled(false);
    TRunOutcome outcome;
    {
        TBusy hourglass(FView);
        outcome = FRun->MakeMasterImage(outputPath);
    }
    if (RunReachedItsEnd(outcome)) FView.SetZoomEnabled(true);
    FView.RepaintDisplay();
    // Missing data, or a close the user asked for while the run worked.
    if (FRun->Closed()) FView.CloseWindow();
    return outcome;
}

void TFormMainLogic::ButtonCloseClick() { FView.CloseWindow(); }

void TFormMainLogic::ButtonFontClick() {
    if (FMasterBitmap == nullptr) return;
    TFont font = FMasterBitmap->Canvas().Font;
    if (FView.ExecuteFontDialog(font)) FMasterBitmap->Canvas().Font = font;
}

void TFormMainLogic::ButtonAboutClick() { FView.ShowAboutBox(); }

void TFormMainLogic::ButtonZoomClick() {
    FZoomed = !FZoomed;
    // The caption names the other mode's action.
    FView.SetZoomCaption(FZoomed ? "Zoom out" : "Zoom in");
    ArrangeImageDisplay();
}

void TFormMainLogic::ArrangeImageDisplay() {
    FView.SetDisplayStretch(false);
    if (FZoomed && FMasterBitmap != nullptr) {
        FView.SetDisplaySize(FMasterBitmap->Width(), FMasterBitmap->Height());
        FView.SetScrollBarsInUse(true);
        return;
    }
    // Fitted: the picture fills the inside of the scroll box's border. Stretching comes back
    // on only once the control has its new size.
    FView.SetDisplaySize(FView.ScrollBoxWidth() - 4, FView.ScrollBoxHeight() - 4);
    FView.SetScrollBarsInUse(false);
    FView.SetDisplayStretch(true);
}

void TFormMainLogic::ScrollBoxResize() { ArrangeImageDisplay(); }

void TFormMainLogic::UpDownGridlineWidthClick() {
    if (FGridlineWidthSetting) FGridlineWidthSetting->Value = FView.UpDownPosition(TFormWidth::Gridline);
}

void TFormMainLogic::UpDownBoundaryWidthClick() {
    if (FBoundaryWidthSetting) FBoundaryWidthSetting->Value = FView.UpDownPosition(TFormWidth::Boundary);
}

void TFormMainLogic::ShowStatus(const std::string& text) {
    FView.SetStatusText(text);
    // Lets the window answer clicks between the run's stages; a click on a check box here
    // changes what the later stages draw.
    FView.ProcessMessages();
}

void TFormMainLogic::SetProgress(int position) { FView.SetProgress(position); }

void TFormMainLogic::RefreshDisplay() { FView.RepaintDisplay(); }

bool TFormMainLogic::AskYesNo(const std::string& caption, const std::string& text) {
    return FView.ShowMessage(TMessageIcon::Question, caption, text, TMessageButtons::YesNo);
}

bool TFormMainLogic::WarnOkCancel(const std::string& text) {
    return FView.ShowMessage(TMessageIcon::Warning, "Warning", text, TMessageButtons::OkCancel);
}

bool TFormMainLogic::ConfirmYesNo(const std::string& text) {
    return FView.ShowMessage(TMessageIcon::Question, "Confirm", text, TMessageButtons::YesNo);
}

void TFormMainLogic::Inform(const std::string& text) {
    FView.ShowMessage(TMessageIcon::None, FView.ApplicationTitle(), text, TMessageButtons::Ok);
}

}  // namespace gridloom
