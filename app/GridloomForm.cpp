#include "app/GridloomForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <algorithm>
#include <array>
#include <utility>

#include "app/EngineText.h"
#include "app/FontDialog.h"
#include "app/ImageDisplay.h"
#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "app/WindowFont.h"
#include "platform/RegistrySession.h"
#include "render/GridIntervals.h"
#include "run/FirstStart.h"
#include "settings/moxCheckBox.h"

namespace gridloom {

namespace {

// Message-box text: the run separates lines with carriage returns.
QString DialogText(const std::string& text) { return FromEngineText(text).replace('\r', '\n'); }

// A new control with its design name.
template <class T, class... Args>
T* Made(const char* name, Args&&... args) {
    T* control = new T(std::forward<Args>(args)...);
    control->setObjectName(name);
    return control;
}

// The radio buttons' captions, in the order of the intervals.
QStringList GridCaptions() {
    QStringList captions;
    for (const TGridInterval& interval : GridIntervals)
        captions << QString::fromLatin1(interval.Caption.data(), qsizetype(interval.Caption.size()));
    return captions;
}

bool Answer(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const std::string& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton yes) {
    QMessageBox box(icon, caption, DialogText(text), buttons, parent);
    // A question waits for the user, so the pointer is the ordinary arrow while it is open.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool answer = box.exec() == yes;
    if (busy) QGuiApplication::restoreOverrideCursor();
    return answer;
}

}  // namespace

QSize OpeningClientSize(const QRect& available) {
    return {std::max(MinimumClientWidth, std::min(DesignClientWidth, available.width() - DesignFrameWidth)),
            std::max(MinimumClientHeight, std::min(DesignClientHeight, available.height() - DesignFrameHeight))};
}

TFormMain::TFormMain(ISystemServices& services, QWidget* parent) : QWidget(parent) {
    // The logic touches no control until FormCreate, so it can be there before them to
    // answer the scroll box's first size events.
    FLogic = std::make_unique<TFormMainLogic>(static_cast<IFormMainView&>(*this), services);
    CreateControls();
    // All settings are read as one: the file parsed once, a held lock waited for once.
    TRegistrySession starting(TRegistrySession::TPurpose::Loading);
    // The check box takes its stored state once the controls are built, before FormCreate.
    CheckBoxShowBoundaries->Loaded();
    FLogic->FormCreate();
}

TFormMain::~TFormMain() {
    // All settings are written as one rewrite of the file when the session ends.
    TRegistrySession closing(TRegistrySession::TPurpose::Storing);
    // Settings are stored before any control goes; the check box stores its own afterwards.
    FLogic->FormDestroy();
    delete std::exchange(CheckBoxShowBoundaries, nullptr);
}

void TFormMain::CreateControls() {
    setWindowTitle(MainWindowCaption);
    // On a small screen, or one whose pixels count double, the design size may not fit:
    // the buttons along the bottom must stay on the screen.
    resize(OpeningClientSize(screen()->availableGeometry()));
    setMinimumSize(MinimumClientWidth, MinimumClientHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // Each control carries its design name, by which it can be found (and under which a
    // self-persisting check box would store its state if it were given no other name).
    ButtonMake = Made<QPushButton>("ButtonMake", "Make image", this);
    ButtonClose = Made<QPushButton>("ButtonClose", "Close", this);
    StatusBar = Made<QStatusBar>("StatusBar", this);
    RadioGroupGrid = Made<TRadioGroup>("RadioGroupGrid", " Grid Interval ", GridCaptions(), this);
    GroupBoxOptions = Made<QGroupBox>("GroupBoxOptions", " Options ", this);
    ButtonFont = Made<QPushButton>("ButtonFont", "Font", GroupBoxOptions);
    CheckBoxGridOnTop = Made<QCheckBox>("CheckBoxGridOnTop", "Grid overlays countries", GroupBoxOptions);
    CheckBoxShowScale = Made<QCheckBox>("CheckBoxShowScale", "Show scale annotation", GroupBoxOptions);
    FontDialog = Made<TFontDialog>("FontDialog", this);
    ScrollBox = Made<QScrollArea>("ScrollBox", this);
    ImageDisplay = Made<TImageDisplay>("ImageDisplay");
    ButtonZoom = Made<QPushButton>("ButtonZoom", "Zoom in", this);
    ProgressBar = Made<QProgressBar>("ProgressBar", this);
    LabelProgress = Made<QLabel>("LabelProgress", "Progress", this);
    ButtonAbout = Made<QPushButton>("ButtonAbout", "About", this);
    EditGridlineWidth = Made<QLineEdit>("EditGridlineWidth", "1", GroupBoxOptions);
    EditBoundaryWidth = Made<QLineEdit>("EditBoundaryWidth", "1", GroupBoxOptions);
    UpDownGridlineWidth = Made<TUpDown>("UpDownGridlineWidth", GroupBoxOptions);
    UpDownBoundaryWidth = Made<TUpDown>("UpDownBoundaryWidth", GroupBoxOptions);
    LabelGridlineWidth = Made<QLabel>("LabelGridlineWidth", "Gridline width", GroupBoxOptions);
    LabelBoundaryLineWidth = Made<QLabel>("LabelBoundaryLineWidth", "Boundary width", GroupBoxOptions);
    CheckBoxShowBoundaries = Made<TmoxCheckBox>("CheckBoxShowBoundaries", "Show boundaries", GroupBoxOptions);

    // Positions inside the group box, as designed; the group box moves them with it.
    GroupBoxOptions->setGeometry(168, 398, 448, 98);
    CheckBoxShowScale->setGeometry(16, 24, 177, 20);
    CheckBoxShowBoundaries->setGeometry(16, 48, 177, 20);
    CheckBoxGridOnTop->setGeometry(16, 72, 177, 20);
    ButtonFont->setGeometry(200, 39, 90, 31);
    EditGridlineWidth->setGeometry(320, 20, 31, 24);
    UpDownGridlineWidth->setGeometry(351, 20, 18, 24);
    LabelGridlineWidth->setGeometry(376, 17, 49, 32);
    EditBoundaryWidth->setGeometry(320, 59, 31, 24);
    UpDownBoundaryWidth->setGeometry(351, 59, 18, 24);
    LabelBoundaryLineWidth->setGeometry(376, 59, 61, 32);

    ScrollBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ScrollBox->setLineWidth(2);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setFocusPolicy(Qt::ClickFocus);
    ScrollBox->setBackgroundRole(QPalette::Button);
    ScrollBox->setWidget(ImageDisplay);
    ImageDisplay->setGeometry(0, 0, 481, 193);
    ImageDisplay->SetStretch(true);
    ScrollBox->installEventFilter(this);

    RadioGroupGrid->SetItemIndex(FirstStart::GridIndex);
    CheckBoxShowBoundaries->SetNamedAs("ShowBoundaries");
    CheckBoxShowBoundaries->setChecked(FirstStart::ShowBoundaries);
    ButtonZoom->setEnabled(false);
    LabelProgress->setAlignment(Qt::AlignRight | Qt::AlignTop);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    for (TUpDown* upDown : {UpDownGridlineWidth, UpDownBoundaryWidth}) {
        upDown->SetRange(1, 5);
        upDown->SetWrap(false);
        upDown->SetPosition(1);
    }
    UpDownGridlineWidth->SetAssociate(EditGridlineWidth);
    UpDownBoundaryWidth->SetAssociate(EditBoundaryWidth);
    LabelGridlineWidth->setWordWrap(true);
    LabelBoundaryLineWidth->setWordWrap(true);
    // A focused push button answers Enter itself; elsewhere Enter reaches "Make image".
    for (QPushButton* b : {ButtonMake, ButtonClose, ButtonFont, ButtonZoom, ButtonAbout}) b->setAutoDefault(true);
    ButtonMake->setDefault(true);

    CheckBoxShowScale->setToolTip("Add latitude and longitude numbers to the grid");
    CheckBoxGridOnTop->setToolTip("Put grid and annotations in front of or behind the countries");
    ButtonFont->setToolTip("Choose font for annotation");
    LabelGridlineWidth->setToolTip("Set line width for gridlines");
    LabelBoundaryLineWidth->setToolTip("Set line width for boundaries");

    TFormMainLogic* logic = FLogic.get();
    connect(ButtonMake, &QPushButton::clicked, this, [logic] { logic->ButtonMakeClick(); });
    connect(ButtonClose, &QPushButton::clicked, this, [logic] { logic->ButtonCloseClick(); });
    connect(ButtonFont, &QPushButton::clicked, this, [logic] { logic->ButtonFontClick(); });
    connect(ButtonAbout, &QPushButton::clicked, this, [logic] { logic->ButtonAboutClick(); });
    connect(ButtonZoom, &QPushButton::clicked, this, [logic] { logic->ButtonZoomClick(); });
    connect(UpDownGridlineWidth, &TUpDown::Click, this, [logic] { logic->UpDownGridlineWidthClick(); });
    connect(UpDownBoundaryWidth, &TUpDown::Click, this, [logic] { logic->UpDownBoundaryWidthClick(); });

    SetTabOrder();
    setFont(WindowFont(*this));
    resizeEvent(nullptr);
}

void TFormMain::SetTabOrder() {
    std::vector<QWidget*> order;
    order.reserve(RadioGroupGrid->Count() + 12);
    for (int i = 0; i < RadioGroupGrid->Count(); ++i) order.push_back(RadioGroupGrid->Button(i));
    for (QWidget* w :
         std::initializer_list<QWidget*>{CheckBoxShowScale, CheckBoxGridOnTop, ButtonFont, EditGridlineWidth,
                                         UpDownGridlineWidth, EditBoundaryWidth, UpDownBoundaryWidth,
                                         CheckBoxShowBoundaries, ButtonMake, ButtonZoom, ButtonAbout, ButtonClose})
        // The up-downs take no focus (their edit boxes are the stops); the toolkit would not
        // link them into the chain, leaving a gap in it.
        if (w->focusPolicy() != Qt::NoFocus) order.push_back(w);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    // The scroll box grows with the window; everything below it keeps its left coordinate
    // and its distance from the bottom edge; the status bar spans the bottom.
    const int grow = height() - DesignClientHeight;
    ScrollBox->setGeometry(12, 10, 732 + width() - DesignClientWidth, 375 + grow);
    struct TAnchored {
        QWidget* Control;
        QRect Design;
    };
    const std::array<TAnchored, 8> anchored{{
        {RadioGroupGrid, {8, 398, 139, 163}},
        {GroupBoxOptions, {168, 398, 448, 98}},
        {ButtonMake, {168, 520, 139, 31}},
        {LabelProgress, {364, 525, 55, 16}},
        {ProgressBar, {432, 526, 168, 21}},
        {ButtonZoom, {640, 406, 112, 30}},
        {ButtonAbout, {640, 462, 112, 31}},
        {ButtonClose, {640, 518, 112, 31}},
    }};
    for (const TAnchored& a : anchored) a.Control->setGeometry(a.Design.translated(0, grow));
    StatusBar->setGeometry(0, height() - 23, width(), 23);
    if (event) QWidget::resizeEvent(event);
}

// IFormMainView: the controls as the logic sees them.

QCheckBox* TFormMain::Box(TFormCheckBox box) const {
    switch (box) {
    case TFormCheckBox::ShowScale: return CheckBoxShowScale;
    case TFormCheckBox::GridOnTop: return CheckBoxGridOnTop;
    case TFormCheckBox::ShowBoundaries: break;
    }
    return CheckBoxShowBoundaries;
}

TUpDown* TFormMain::UpDown(TFormWidth width) const {
    return width == TFormWidth::Gridline ? UpDownGridlineWidth : UpDownBoundaryWidth;
}

int TFormMain::GridItemIndex() const { return RadioGroupGrid->ItemIndex(); }
void TFormMain::SetGridItemIndex(int index) { RadioGroupGrid->SetItemIndex(index); }
bool TFormMain::Checked(TFormCheckBox box) const { return Box(box)->isChecked(); }
void TFormMain::SetChecked(TFormCheckBox box, bool checked) { Box(box)->setChecked(checked); }
int16_t TFormMain::UpDownPosition(TFormWidth width) const { return UpDown(width)->Position(); }
void TFormMain::SetUpDownPosition(TFormWidth width, int16_t position) { UpDown(width)->SetPosition(position); }

void TFormMain::TakeTypedWidths() {
    UpDownGridlineWidth->TakeTypedPosition();
    UpDownBoundaryWidth->TakeTypedPosition();
}

void TFormMain::SetZoomEnabled(bool enabled) { ButtonZoom->setEnabled(enabled); }
void TFormMain::SetZoomCaption(const std::string& caption) { ButtonZoom->setText(FromEngineText(caption)); }

QString TFormMain::StatusText() const { return StatusBar->currentMessage(); }
void TFormMain::SetStatusText(const std::string& text) { StatusBar->showMessage(FromEngineText(text)); }
void TFormMain::ProcessMessages() { QCoreApplication::processEvents(); }
void TFormMain::SetProgress(int position) { ProgressBar->setValue(position); }

void TFormMain::SetBusy(bool busy) {
    // Over the whole program, not only this window.
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

TBitmap& TFormMain::NewPicture() { return ImageDisplay->NewPicture(); }
int TFormMain::ScrollBoxWidth() const { return ScrollBox->width(); }
int TFormMain::ScrollBoxHeight() const { return ScrollBox->height(); }

void TFormMain::SetDisplayStretch(bool stretch) { ImageDisplay->SetStretch(stretch); }

void TFormMain::SetDisplaySize(int width, int height) {
    // The control never sizes itself to its picture.
    ImageDisplay->SetAutoSize(false);
    ImageDisplay->resize(width, height);
}

void TFormMain::SetScrollBarsInUse(bool inUse) {
    const Qt::ScrollBarPolicy policy = inUse ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    ScrollBox->setHorizontalScrollBarPolicy(policy);
    ScrollBox->setVerticalScrollBarPolicy(policy);
    if (inUse) return;
    // Out of use, the bars leave the view at the origin.
    ScrollBox->horizontalScrollBar()->setValue(0);
    ScrollBox->verticalScrollBar()->setValue(0);
}

void TFormMain::RepaintDisplay() { ImageDisplay->repaint(); }

bool TFormMain::ShowMessage(TMessageIcon icon, const std::string& caption, const std::string& text,
                            TMessageButtons buttons) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    if (icon == TMessageIcon::Question) shown = QMessageBox::Question;
    if (icon == TMessageIcon::Warning) shown = QMessageBox::Warning;
    switch (buttons) {
    case TMessageButtons::Ok:
        return Answer(this, shown, FromEngineText(caption), text, QMessageBox::Ok, QMessageBox::Ok);
    case TMessageButtons::OkCancel:
        return Answer(this, shown, FromEngineText(caption), text, QMessageBox::Ok | QMessageBox::Cancel,
                      QMessageBox::Ok);
    case TMessageButtons::YesNo: break;
    }
    return Answer(this, shown, FromEngineText(caption), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
}

std::string TFormMain::ApplicationTitle() const { return ToEngineText(QGuiApplication::applicationDisplayName()); }

bool TFormMain::ExecuteFontDialog(TFont& font) {
    FontDialog->SetFont(font);
    if (!FontDialog->Execute()) return false;
    font = FontDialog->Font();
    return true;
}

void TFormMain::ShowAboutBox() {
    if (FAboutBox) FAboutBox->exec();  // whatever the box answers, nothing follows from it
}

void TFormMain::CloseWindow() { close(); }

bool TFormMain::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
    return QWidget::event(event);
}

bool TFormMain::HandleKey(QKeyEvent* key) {
    // Keys reach the window when the focused control has no use for them.
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: ButtonMake->click(); return true;
    case Qt::Key_Escape: ButtonClose->click(); return true;
    default: return false;
    }
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox && event->type() == QEvent::Resize) FLogic->ScrollBoxResize();
    return QWidget::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // A close asked for during a run waits for the run to end; the logic then closes.
    if (FLogic->CloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace gridloom
