#include "app/windows/MainWindow.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "app/windows/Controls.h"
#include "app/windows/DialogFont.h"
#include "app/windows/FontDialogWindows.h"
#include "app/windows/Layout.h"
#include "app/windows/MessageLoop.h"
#include "platform/RegistrySession.h"
#include "platform/windows/WindowOwner.h"
#include "render/GridIntervals.h"
#include "run/FirstStart.h"

namespace gridloom {

namespace {

constexpr const char* ClassName = "GridloomMainWindow";

// Control ids. Enter and Esc reach the window as IDOK and IDCANCEL, so the default and the
// cancel buttons carry those.
enum : int {
    IdMake = IDOK,
    IdClose = IDCANCEL,
    IdScrollBox = 100,
    IdStatusBar,
    IdRadioGroup,
    IdOptions,
    IdFont,
    IdGridOnTop,
    IdShowScale,
    IdZoom,
    IdProgressBar,
    IdLabelProgress,
    IdAbout,
    IdEditGridline,
    IdEditBoundary,
    IdUpDownGridline,
    IdUpDownBoundary,
    IdLabelGridline,
    IdLabelBoundary,
    IdShowBoundaries,
    IdGridButton0,  // ... and the seven after it
};

constexpr DWORD MainStyle = WS_OVERLAPPEDWINDOW;
constexpr int16_t WidthMin = 1;
constexpr int16_t WidthMax = 5;

void RegisterClassOnce(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // A new size repaints everything: the controls below the scroll box all move.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcA;  // replaced by the instance's procedure at creation
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ClassName;
    registered = RegisterClassExA(&wc) != 0;
}

// The outer size of a window of our style whose client area is width x height.
SIZE OuterSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, MainStyle, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

// The smallest client size: the design's minimum outer size less the design's frame.
constexpr int MinimumClientWidth = Design::MinimumOuterWidth - (Design::OuterWidth - Design::ClientWidth);
constexpr int MinimumClientHeight = Design::MinimumOuterHeight - (Design::OuterHeight - Design::ClientHeight);

int16_t LimitedWidth(int value) { return int16_t(std::clamp(value, int(WidthMin), int(WidthMax))); }

std::string WindowText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(std::size_t(std::max(length, 0)) + 1, '\0');
    const int got = GetWindowTextA(control, text.data(), length + 1);
    text.resize(std::size_t(std::max(got, 0)));
    return text;
}

}  // namespace

TMainWindow::TMainWindow(HINSTANCE instance, std::function<void(HWND)> showAbout, ISystemServices& services)
    : FInstance(instance), FShowAbout(std::move(showAbout)) {
    // The logic first: it touches no control until FormCreate, and the window's size events
    // may reach it from the moment the window exists.
    FLogic = std::make_unique<TFormMainLogic>(*this, services);
    RegisterClassOnce(instance);
    const SIZE outer = OuterSize(Design::ClientWidth, Design::ClientHeight);
    FWindow = CreateWindowExA(0, ClassName, MainWindowCaption, MainStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                              outer.cy, nullptr, nullptr, instance, nullptr);
    if (!FWindow) return;
    AttachOwner(FWindow, this);
    CreateControls();

    // All settings are read as one.
    TRegistrySession starting(TRegistrySession::TPurpose::Loading);
    FShowBoundariesState.SetNamedAs("ShowBoundaries");
    const bool shown = FShowBoundariesState.Loaded("CheckBoxShowBoundaries", FirstStart::ShowBoundaries);
    SetChecked(TFormCheckBox::ShowBoundaries, shown);
    FLogic->FormCreate();
}

TMainWindow::~TMainWindow() {
    // A window still open here was not closed by the user; its destruction still stores
    // what is to be stored, as the toolkit's destruction of an open window does.
    if (FWindow && IsWindow(FWindow)) DestroyWindow(FWindow);
    if (FFont) DeleteObject(FFont);
}

void TMainWindow::CreateControls() {
    // The creation order is the tab order: the scroll box, the grid interval, the options,
    // then the buttons along the bottom and the right.
    FDisplay = std::make_unique<TImageDisplayWindow>(FWindow, IdScrollBox, FInstance);
    ScrollBox = FDisplay->Handle();

    RadioGroupGrid = MakeControl(FWindow, "BUTTON", " Grid Interval ", BS_GROUPBOX | WS_GROUP, IdRadioGroup);
    for (std::size_t i = 0; i < GridButtons.size(); ++i) {
        const std::string caption(GridIntervals[i].Caption);
        GridButtons[i] = MakeControl(FWindow, "BUTTON", caption.c_str(), BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                                     IdGridButton0 + int(i));
    }

    GroupBoxOptions = MakeControl(FWindow, "BUTTON", " Options ", BS_GROUPBOX | WS_GROUP, IdOptions);
    const DWORD checkStyle = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
    CheckBoxShowScale = MakeControl(FWindow, "BUTTON", "Show scale annotation", checkStyle, IdShowScale);
    CheckBoxGridOnTop = MakeControl(FWindow, "BUTTON", "Grid overlays countries", checkStyle, IdGridOnTop);
    const DWORD pushStyle = BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP;
    ButtonFont = MakeControl(FWindow, "BUTTON", "Font", pushStyle, IdFont);
    const DWORD editStyle = ES_LEFT | ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP | WS_GROUP;
    const DWORD upDownStyle = UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    EditGridlineWidth = MakeControl(FWindow, "EDIT", "1", editStyle, IdEditGridline, WS_EX_CLIENTEDGE);
    UpDownGridlineWidth = MakeControl(FWindow, UPDOWN_CLASSA, "", upDownStyle, IdUpDownGridline);
    EditBoundaryWidth = MakeControl(FWindow, "EDIT", "1", editStyle, IdEditBoundary, WS_EX_CLIENTEDGE);
    UpDownBoundaryWidth = MakeControl(FWindow, UPDOWN_CLASSA, "", upDownStyle, IdUpDownBoundary);
    CheckBoxShowBoundaries = MakeControl(FWindow, "BUTTON", "Show boundaries", checkStyle, IdShowBoundaries);
    // The labels take no focus; SS_NOTIFY lets their hints see the mouse.
    LabelGridlineWidth = MakeControl(FWindow, "STATIC", "Gridline width", SS_LEFT | SS_NOTIFY, IdLabelGridline);
    LabelBoundaryLineWidth = MakeControl(FWindow, "STATIC", "Boundary width", SS_LEFT | SS_NOTIFY, IdLabelBoundary);

    ButtonMake =
        MakeControl(FWindow, "BUTTON", "Make image", (pushStyle & ~DWORD(BS_PUSHBUTTON)) | BS_DEFPUSHBUTTON, IdMake);
    LabelProgress = MakeControl(FWindow, "STATIC", "Progress", SS_RIGHT, IdLabelProgress);
    ProgressBar = MakeControl(FWindow, PROGRESS_CLASSA, "", PBS_SMOOTH, IdProgressBar);
    ButtonZoom = MakeControl(FWindow, "BUTTON", "Zoom in", pushStyle | WS_DISABLED, IdZoom);
    ButtonAbout = MakeControl(FWindow, "BUTTON", "About", pushStyle, IdAbout);
    ButtonClose = MakeControl(FWindow, "BUTTON", "Close", pushStyle, IdClose);
    StatusBar =
        MakeControl(FWindow, STATUSCLASSNAMEA, "", SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, IdStatusBar);

    // Design states.
    SetGridItemIndex(FirstStart::GridIndex);
    for (HWND upDown : {UpDownGridlineWidth, UpDownBoundaryWidth}) {
        SendMessageA(upDown, UDM_SETBUDDY,
                     reinterpret_cast<WPARAM>(upDown == UpDownGridlineWidth ? EditGridlineWidth : EditBoundaryWidth),
                     0);
        SendMessageA(upDown, UDM_SETRANGE32, WidthMin, WidthMax);
        SendMessageA(upDown, UDM_SETPOS32, 0, 1);
    }
    SendMessageA(ProgressBar, PBM_SETRANGE32, 0, 100);
    SendMessageA(ProgressBar, PBM_SETPOS, 0, 0);
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));

    FTooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FWindow, nullptr, FInstance, nullptr);
    if (FTooltip) {
        AddHint(FTooltip, FWindow, CheckBoxShowScale, "Add latitude and longitude numbers to the grid");
        AddHint(FTooltip, FWindow, CheckBoxGridOnTop, "Put grid and annotations in front of or behind the countries");
        AddHint(FTooltip, FWindow, ButtonFont, "Choose font for annotation");
        AddHint(FTooltip, FWindow, LabelGridlineWidth, "Set line width for gridlines");
        AddHint(FTooltip, FWindow, LabelBoundaryLineWidth, "Set line width for boundaries");
    }

    ApplyFont();
    ArrangeControls();
}

void TMainWindow::ApplyFont() {
    HFONT font = CreateDialogFont(WindowDpi(FWindow));
    SendMessageA(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (HWND child = GetWindow(FWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (FTooltip) SendMessageA(FTooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (FFont) DeleteObject(FFont);
    FFont = font;
    FTextHeight = FontTextHeight(FWindow, FFont);
}

void TMainWindow::ArrangeControls() {
    RECT client{};
    GetClientRect(FWindow, &client);
    const int width = int(client.right);
    const int height = int(client.bottom);
    if (width <= 0 || height <= 0) return;  // minimised
    Place(ScrollBox, ScrollBoxRect(width, height));
    const TRect grid = AnchoredRect(Design::RadioGroupGrid, height);
    Place(RadioGroupGrid, grid);
    for (std::size_t i = 0; i < GridButtons.size(); ++i)
        Place(GridButtons[i], RadioItemRect(grid, int(i), int(GridButtons.size()), FTextHeight));
    Place(GroupBoxOptions, AnchoredRect(Design::GroupBoxOptions, height));
    Place(CheckBoxShowScale, InOptionsGroup(Design::CheckBoxShowScale, height));
    Place(CheckBoxShowBoundaries, InOptionsGroup(Design::CheckBoxShowBoundaries, height));
    Place(CheckBoxGridOnTop, InOptionsGroup(Design::CheckBoxGridOnTop, height));
    Place(ButtonFont, InOptionsGroup(Design::ButtonFont, height));
    Place(EditGridlineWidth, InOptionsGroup(Design::EditGridlineWidth, height));
    Place(UpDownGridlineWidth, InOptionsGroup(Design::UpDownGridlineWidth, height));
    Place(LabelGridlineWidth, InOptionsGroup(Design::LabelGridlineWidth, height));
    Place(EditBoundaryWidth, InOptionsGroup(Design::EditBoundaryWidth, height));
    Place(UpDownBoundaryWidth, InOptionsGroup(Design::UpDownBoundaryWidth, height));
    Place(LabelBoundaryLineWidth, InOptionsGroup(Design::LabelBoundaryLineWidth, height));
    Place(ButtonMake, AnchoredRect(Design::ButtonMake, height));
    Place(LabelProgress, AnchoredRect(Design::LabelProgress, height));
    Place(ProgressBar, AnchoredRect(Design::ProgressBar, height));
    Place(ButtonZoom, AnchoredRect(Design::ButtonZoom, height));
    Place(ButtonAbout, AnchoredRect(Design::ButtonAbout, height));
    Place(ButtonClose, AnchoredRect(Design::ButtonClose, height));
    Place(StatusBar, StatusBarRect(width, height));

    // The scroll box's size event: when it first gets a size, and at every new one.
    const int boxWidth = ScrollBoxWidth();
    const int boxHeight = ScrollBoxHeight();
    if (boxWidth != FScrollBoxWidth || boxHeight != FScrollBoxHeight) {
        FScrollBoxWidth = boxWidth;
        FScrollBoxHeight = boxHeight;
        FLogic->ScrollBoxResize();
    }
}

void TMainWindow::Show(int showCommand) {
    ShowWindow(FWindow, showCommand);
    UpdateWindow(FWindow);
    // The first stop of the tab order that takes the keyboard: the chosen grid interval.
    HWND first = GetNextDlgTabItem(FWindow, nullptr, FALSE);
    if (first) SetFocus(first);
    FLastFocus = GetFocus();
}

// ---- IFormMainView ----

int TMainWindow::GridItemIndex() const {
    for (std::size_t i = 0; i < GridButtons.size(); ++i)
        if (SendMessageA(GridButtons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return int(i);
    return -1;
}

void TMainWindow::SetGridItemIndex(int index) {
    for (std::size_t i = 0; i < GridButtons.size(); ++i)
        SendMessageA(GridButtons[i], BM_SETCHECK, int(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    MarkGridTabStop();
}

void TMainWindow::MarkGridTabStop() {
    // Tab reaches the group at its checked button (the first when none is checked).
    const int checked = std::max(GridItemIndex(), 0);
    for (std::size_t i = 0; i < GridButtons.size(); ++i) {
        LONG_PTR style = GetWindowLongPtrA(GridButtons[i], GWL_STYLE);
        style = int(i) == checked ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP));
        SetWindowLongPtrA(GridButtons[i], GWL_STYLE, style);
    }
}

HWND TMainWindow::CheckBoxOf(TFormCheckBox box) const {
    switch (box) {
    case TFormCheckBox::ShowScale: return CheckBoxShowScale;
    case TFormCheckBox::GridOnTop: return CheckBoxGridOnTop;
    case TFormCheckBox::ShowBoundaries: return CheckBoxShowBoundaries;
    }
    return nullptr;
}

bool TMainWindow::Checked(TFormCheckBox box) const {
    return SendMessageA(CheckBoxOf(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainWindow::SetChecked(TFormCheckBox box, bool checked) {
    SendMessageA(CheckBoxOf(box), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND TMainWindow::UpDownOf(TFormWidth width) const {
    return width == TFormWidth::Gridline ? UpDownGridlineWidth : UpDownBoundaryWidth;
}

HWND TMainWindow::EditOf(TFormWidth width) const {
    return width == TFormWidth::Gridline ? EditGridlineWidth : EditBoundaryWidth;
}

int16_t TMainWindow::UpDownPosition(TFormWidth width) const { return FPositions[std::size_t(width)]; }

void TMainWindow::SetUpDownPosition(TFormWidth width, int16_t position) {
    const int16_t shown = LimitedWidth(position);
    FPositions[std::size_t(width)] = shown;
    // The up-down writes the position into its edit box, which then counts as not typed into.
    SendMessageA(UpDownOf(width), UDM_SETPOS32, 0, shown);
    SendMessageA(EditOf(width), EM_SETMODIFY, FALSE, 0);
}

void TMainWindow::TakeTypedWidths() {
    TakeTypedWidth(TFormWidth::Gridline);
    TakeTypedWidth(TFormWidth::Boundary);
}

void TMainWindow::TakeTypedWidth(TFormWidth width) {
    HWND edit = EditOf(width);
    if (!SendMessageA(edit, EM_GETMODIFY, 0, 0)) return;
    const std::string text = WindowText(edit);
    int typed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), typed);
    const bool number = error == std::errc() && end == text.data() + text.size() && !text.empty();
    if (!number || typed < WidthMin || typed > WidthMax) {
        // Anything else typed gives way to the position.
        SetUpDownPosition(width, FPositions[std::size_t(width)]);
        return;
    }
    SetUpDownPosition(width, int16_t(typed));
    if (width == TFormWidth::Gridline)
        FLogic->UpDownGridlineWidthClick();
    else
        FLogic->UpDownBoundaryWidthClick();
}

void TMainWindow::OnUpDownStep(HWND upDown, int16_t position) {
    const TFormWidth width = upDown == UpDownGridlineWidth ? TFormWidth::Gridline : TFormWidth::Boundary;
    FPositions[std::size_t(width)] = position;
    SendMessageA(EditOf(width), EM_SETMODIFY, FALSE, 0);
    if (width == TFormWidth::Gridline)
        FLogic->UpDownGridlineWidthClick();
    else
        FLogic->UpDownBoundaryWidthClick();
}

void TMainWindow::SetZoomEnabled(bool enabled) {
    // A button that is disabled with the keyboard on it would leave the keyboard nowhere.
    if (!enabled && GetFocus() == ButtonZoom) SetFocus(ButtonMake);
    EnableWindow(ButtonZoom, enabled);
}

void TMainWindow::SetZoomCaption(const std::string& caption) { SetWindowTextA(ButtonZoom, caption.c_str()); }

void TMainWindow::SetStatusText(const std::string& text) {
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMainWindow::ProcessMessages() { ProcessWaitingMessages(FWindow); }

void TMainWindow::SetProgress(int position) { SendMessageA(ProgressBar, PBM_SETPOS, WPARAM(position), 0); }

void TMainWindow::SetBusy(bool busy) {
    FBusy = busy;
    SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

TBitmap& TMainWindow::NewPicture() { return FDisplay->NewPicture(); }

int TMainWindow::ScrollBoxWidth() const {
    RECT r{};
    GetWindowRect(ScrollBox, &r);
    return int(r.right - r.left);
}

int TMainWindow::ScrollBoxHeight() const {
    RECT r{};
    GetWindowRect(ScrollBox, &r);
    return int(r.bottom - r.top);
}

void TMainWindow::SetDisplayStretch(bool stretch) { FDisplay->SetStretch(stretch); }
void TMainWindow::SetDisplaySize(int width, int height) { FDisplay->SetDisplaySize(width, height); }
void TMainWindow::SetScrollBarsInUse(bool inUse) { FDisplay->SetScrollBarsInUse(inUse); }
void TMainWindow::RepaintDisplay() { FDisplay->Repaint(); }

bool TMainWindow::ShowMessage(TMessageIcon icon, const std::string& caption, const std::string& text,
                              TMessageButtons buttons) {
    UINT flags = 0;
    switch (icon) {
    case TMessageIcon::None: break;
    case TMessageIcon::Question: flags |= MB_ICONQUESTION; break;
    case TMessageIcon::Warning: flags |= MB_ICONWARNING; break;
    }
    switch (buttons) {
    case TMessageButtons::Ok: flags |= MB_OK; break;
    case TMessageButtons::OkCancel: flags |= MB_OKCANCEL; break;
    case TMessageButtons::YesNo: flags |= MB_YESNO; break;
    }
    const int answer = MessageBoxA(FWindow, MessageBoxText(text).c_str(), caption.c_str(), flags);
    return answer == IDOK || answer == IDYES;
}

std::string TMainWindow::ApplicationTitle() const { return "Gridloom"; }

bool TMainWindow::ExecuteFontDialog(TFont& font) { return gridloom::ExecuteFontDialog(FWindow, font); }

void TMainWindow::ShowAboutBox() {
    if (FShowAbout) FShowAbout(FWindow);  // whatever the box answers, nothing follows from it
}

void TMainWindow::CloseWindow() {
    // Posted, not sent: the logic asks from inside its own handlers, which must have
    // returned before the window goes.
    PostMessageA(FWindow, WM_CLOSE, 0, 0);
}

// ---- messages ----

void TMainWindow::StoreAndQuit() {
    if (FStored) return;
    FStored = true;
    {
        // All settings are written as one; the window's own first, the check box's after.
        TRegistrySession closing(TRegistrySession::TPurpose::Storing);
        FLogic->FormDestroy();
        FShowBoundariesState.Destroying(Checked(TFormCheckBox::ShowBoundaries));
    }
    PostQuitMessage(0);
}

void TMainWindow::FollowFocus() {
    // The push button with the keyboard is the one Enter presses; elsewhere it is "Make image".
    HWND focus = GetFocus();
    const bool onButton = IsPushButton(focus) && GetParent(focus) == FWindow;
    for (HWND button : {ButtonMake, ButtonFont, ButtonZoom, ButtonAbout, ButtonClose})
        SetDefaultLook(button, onButton ? button == focus : button == ButtonMake);
}

void TMainWindow::OnCommand(int id, int code, HWND control) {
    // The controls still report while they are being destroyed (an edit box losing the
    // keyboard), after the settings have gone.
    if (FStored) return;
    if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
        if (IsPushButton(control)) PostMessageA(FWindow, FocusMayHaveMoved, 0, 0);
        return;
    }
    if (id == IdEditGridline || id == IdEditBoundary) {
        if (code == EN_KILLFOCUS) TakeTypedWidth(id == IdEditGridline ? TFormWidth::Gridline : TFormWidth::Boundary);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case IdMake: FLogic->ButtonMakeClick(); return;
    case IdClose: FLogic->ButtonCloseClick(); return;
    case IdFont: FLogic->ButtonFontClick(); return;
    case IdAbout: FLogic->ButtonAboutClick(); return;
    case IdZoom: FLogic->ButtonZoomClick(); return;
    default:
        if (id >= IdGridButton0 && id < IdGridButton0 + int(GridButtons.size())) MarkGridTabStop();
        return;
    }
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION && !FStored) {
            HWND from = reinterpret_cast<HWND>(lParam);
            if (from == UpDownGridlineWidth || from == UpDownBoundaryWidth) OnUpDownStep(from, int16_t(HIWORD(wParam)));
        }
        return 0;
    case DM_GETDEFID: return MAKELRESULT(IdMake, DC_HASDEFID);
    case FocusMayHaveMoved: FollowFocus(); return 0;
    case WM_SIZE: ArrangeControls(); return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another density: the text takes that monitor's size; the
        // layout stays in pixels.
        ApplyFont();
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(FWindow, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        ArrangeControls();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE minimum = OuterSize(MinimumClientWidth, MinimumClientHeight);
        info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
        return 0;
    }
    case WM_ERASEBKGND: {
        // Everything but the scroll box, which paints all of itself: no flash of the
        // background over the picture when the window is resized.
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        GetClientRect(FWindow, &client);
        RECT box{};
        GetWindowRect(ScrollBox, &box);
        MapWindowPoints(nullptr, FWindow, reinterpret_cast<POINT*>(&box), 2);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, box.left, box.top, box.right, box.bottom);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        RestoreDC(dc, saved);
        return 1;
    }
    case WM_SETCURSOR:
        if (FBusy) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // The keyboard comes back to the control that had it, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(FWindow, focus)) FLastFocus = focus;
        } else if (FLastFocus && IsWindow(FLastFocus)) {
            SetFocus(FLastFocus);
        }
        return 0;
    case WM_CLOSE:
        if (FLogic->CloseQuery()) DestroyWindow(FWindow);
        return 0;
    case WM_DESTROY: StoreAndQuit(); return 0;
    default: break;
    }
    return DefWindowProcA(FWindow, message, wParam, lParam);
}

}  // namespace gridloom
