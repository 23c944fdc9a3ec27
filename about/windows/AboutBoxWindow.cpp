#include "about/windows/AboutBoxWindow.h"

#include "platform/windows/WinApi.h"
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "about/AboutLayout.h"
#include "about/AboutTexts.h"
#include "platform/windows/WindowOwner.h"

namespace gridloom {

namespace {

namespace layout = about_layout;
namespace control = about_box_control;

constexpr const char* WindowClassName = "GridloomAboutBox";
// The program's icon, put into every program by the build's resource script.
constexpr WORD ProgramIconResource = 1;

constexpr COLORREF LinkColour =
    COLORREF(layout::LinkRed) | COLORREF(layout::LinkGreen) << 8 | COLORREF(layout::LinkBlue) << 16;

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(instance, WindowClassName, &existing)) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = WindowClassName;
    ::RegisterClassExA(&windowClass);
}

// The screen's pixels per inch, by which the box's 96-pixel layout and its icon are scaled.
int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The font the system gives message and dialog texts, in the variant asked for.
HFONT DialogFont(LONG weight, bool underline) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTA font{};
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        font.lfHeight = -layout::FontPixelHeight;
        lstrcpynA(font.lfFaceName, layout::FontFace, LF_FACESIZE);
    }
    if (weight != 0) font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    return ::CreateFontIndirectA(&font);
}

std::string WindowText(HWND window) {
    std::vector<char> text(std::size_t(::GetWindowTextLengthA(window)) + 1);
    const int n = ::GetWindowTextA(window, text.data(), int(text.size()));
    return std::string(text.data(), std::size_t(std::max(n, 0)));
}

// The size text takes in font on one line.
SIZE TextSize(HWND window, HFONT font, const std::string& text) {
    SIZE size{0, 0};
    HDC dc = ::GetDC(window);
    if (dc == nullptr) return size;
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT bounds{0, 0, 0, 0};
    // Measured as a static control draws it: an empty text is still one line high.
    ::DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size.cx = text.empty() ? 0 : bounds.right - bounds.left;
    size.cy = bounds.bottom - bounds.top;
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size;
}

}  // namespace

TAboutBoxWindow::TAboutBoxWindow(HINSTANCE instance) : FInstance(instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterWindowClass(instance);
    FDpi = ScreenDpi();
    FFont = DialogFont(0, false);
    FBoldFont = DialogFont(FW_BOLD, false);
    FLinkFont = DialogFont(0, true);
    FIcon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(ProgramIconResource), IMAGE_ICON,
                                            Scaled(layout::ProgramIcon.Width), Scaled(layout::ProgramIcon.Height),
                                            LR_DEFAULTCOLOR));
    // The version resource is read once; every show fills the box from what was read now.
    FValues = ReadOwnAboutValues();

    // A dialog border: fixed size, no minimise or maximise box.
    // Not clipping its children: the box paints the face under the panel's frame, which
    // draws only its edge.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, Scaled(layout::ClientWidth), Scaled(layout::ClientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    FWindow =
        ::CreateWindowExA(exStyle, WindowClassName, HelpAboutCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (FWindow == nullptr) return;
    AttachOwner(FWindow, this);
    CreateControls();
}

TAboutBoxWindow::~TAboutBoxWindow() {
    if (FWindow != nullptr) {
        ::SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
        ::DestroyWindow(FWindow);
    }
    for (HFONT font : {FFont, FBoldFont, FLinkFont})
        if (font != nullptr) ::DeleteObject(font);
    if (FIcon != nullptr) ::DestroyIcon(FIcon);
}

HWND TAboutBoxWindow::Handle() const { return FWindow; }

int TAboutBoxWindow::Scaled(int pixels) const { return ::MulDiv(pixels, FDpi, 96); }

HWND TAboutBoxWindow::AddControl(const char* kind, const char* text, DWORD style, int id, HFONT font) {
    // Every control clips its siblings, so that the panel's frame, lowest of them, never
    // paints over what lies inside it.
    HWND child = ::CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, FWindow,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), FInstance, nullptr);
    if (child != nullptr) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void TAboutBoxWindow::CreateControls() {
    using layout::TRect;
    auto place = [this](int id, TRect r) {
        ::MoveWindow(::GetDlgItem(FWindow, id), Scaled(r.Left), Scaled(r.Top), Scaled(r.Width), Scaled(r.Height),
                     FALSE);
    };
    // Inside the panel, in the box's own coordinates.
    auto inPanel = [](TRect r) {
        return TRect{layout::Panel.Left + r.Left, layout::Panel.Top + r.Top, r.Width, r.Height};
    };
    const int panelLeft = layout::Panel.Left;
    const int panelTop = layout::Panel.Top;

    // Created in tab order: the button first, so it has the focus when the box opens.
    AddControl("BUTTON", OKButtonText, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, control::OKButton, FFont);
    place(control::OKButton, layout::OKButton);

    AddControl("STATIC", "", SS_ICON | SS_REALSIZECONTROL, control::ProgramIcon, FFont);
    place(control::ProgramIcon, inPanel(layout::ProgramIcon));

    // The version block's values may hold an ampersand; it is shown as itself.
    AddControl("STATIC", FValues.ProductName.c_str(), SS_LEFT | SS_NOPREFIX, control::ProductName, FBoldFont);
    FitLabel(control::ProductName, panelLeft + layout::ProductName.Left, panelTop + layout::ProductName.Top);
    AddControl("STATIC", VersionDesignText, SS_LEFT | SS_NOPREFIX, control::Version, FFont);
    FitLabel(control::Version, panelLeft + layout::Version.Left, panelTop + layout::Version.Top);
    AddControl("STATIC", FValues.LegalCopyright.c_str(), SS_LEFT | SS_NOPREFIX, control::Copyright, FFont);
    FitLabel(control::Copyright, panelLeft + layout::Copyright.Left, panelTop + layout::Copyright.Top);
    AddControl("STATIC", CommentsText, SS_LEFT | SS_NOPREFIX, control::Comments, FFont);
    FitLabel(control::Comments, panelLeft + layout::Comments.Left, panelTop + layout::Comments.Top);

    // Drawn by the box too, with the font and the call it is measured with: the system's own
    // static control draws an underlined face wider than it measures, losing the last letter.
    AddControl("STATIC", WebSiteDesignText, SS_OWNERDRAW | SS_NOTIFY, control::WebSite, FLinkFont);
    place(control::WebSite, inPanel(layout::WebSiteAtDesign));

    // Drawn by the box, which puts the text's last line on the label's bottom edge.
    AddControl("STATIC", DeveloperNotice().c_str(), SS_OWNERDRAW, control::LabelNotice, FFont);
    place(control::LabelNotice, inPanel(layout::LabelNotice));
    // Reads like a label, but its address can be selected and copied.
    AddControl("EDIT", SupportAddress().c_str(), ES_LEFT | ES_READONLY | ES_AUTOHSCROLL, control::EditSupport, FFont);
    place(control::EditSupport, inPanel(layout::EditSupport));

    // Last, so that it lies below everything it frames.
    HWND panel = AddControl("STATIC", "", SS_ETCHEDFRAME, control::Panel1, FFont);
    place(control::Panel1, layout::Panel);
    ::SetWindowPos(panel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TAboutBoxWindow::FitLabel(int id, int left, int top) {
    HWND label = ::GetDlgItem(FWindow, id);
    const SIZE size =
        TextSize(label, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)), WindowText(label));
    ::MoveWindow(label, Scaled(left), Scaled(top), size.cx, size.cy, TRUE);
}

void TAboutBoxWindow::RightAlignWebSite() {
    HWND link = ::GetDlgItem(FWindow, control::WebSite);
    const SIZE size = TextSize(link, FLinkFont, WindowText(link));
    const int right = Scaled(layout::Panel.Left + layout::WebSiteRight);
    // As high as laid out, or as its text where the system's font is taller.
    const int height = std::max<int>(Scaled(layout::WebSiteHeight), size.cy);
    ::MoveWindow(link, right - size.cx, Scaled(layout::Panel.Top + layout::WebSiteTop), size.cx, height, TRUE);
}

void TAboutBoxWindow::FormShow() {
    ::SetWindowTextA(FWindow, AboutBoxCaption(FValues.ProductName).c_str());
    ::SendDlgItemMessageA(FWindow, control::ProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(FIcon), 0);
    ::SetDlgItemTextA(FWindow, control::Version,
                      AboutVersionLine(RunningProgramFile(), FValues.FileVersion, FValues.Comments).c_str());
    FitLabel(control::Version, layout::Panel.Left + layout::Version.Left, layout::Panel.Top + layout::Version.Top);
    ::SetDlgItemTextA(FWindow, control::WebSite, FValues.WebSite.c_str());
    RightAlignWebSite();
}

void TAboutBoxWindow::WebSiteClick() {
    const std::string address = WebSiteAddress(WindowText(::GetDlgItem(FWindow, control::WebSite)));
    if (address.empty()) return;
    // The browser reports its own troubles; a failure to start it is not reported here.
    ::ShellExecuteA(FWindow, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TAboutBoxWindow::ShowModal(HWND owner) {
    // Already showing (a second "About" from a message handled meanwhile): nothing to add.
    if (FWindow == nullptr || !FClosed) return;
    ::SetWindowLongPtrA(FWindow, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    FormShow();

    // Centred on the screen's working area.
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame;
    ::GetWindowRect(FWindow, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(FWindow, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(FWindow, SW_SHOW);
    ::SetForegroundWindow(FWindow);
    ::SetFocus(::GetDlgItem(FWindow, control::OKButton));

    FClosed = false;
    MSG message;
    while (!FClosed) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(int(message.wParam));
            break;
        }
        if (got < 0) break;
        if (::IsDialogMessageA(FWindow, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    FClosed = true;
    // The owner is enabled before the box hides, so that it, not another program, becomes
    // the active window.
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    ::ShowWindow(FWindow, SW_HIDE);
    if (owner != nullptr) ::SetActiveWindow(owner);
}

void TAboutBoxWindow::DrawLink(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    ::FillRect(item.hDC, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    const std::string text = WindowText(item.hwndItem);
    HGDIOBJ old = ::SelectObject(item.hDC, FLinkFont);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, LinkColour);
    // Each letter is put at the advance the control was measured with: Wine draws some faces
    // a little wider than it measures them, which would cut the address's last letter.
    const int count = int(text.size());
    std::vector<INT> ends(text.size() + 1, 0);
    SIZE size{0, 0};
    ::GetTextExtentExPointA(item.hDC, text.c_str(), count, 0, nullptr, ends.data(), &size);
    std::vector<INT> advances(text.size() + 1, 0);
    for (int i = 0; i < count; ++i)
        advances[std::size_t(i)] = ends[std::size_t(i)] - (i > 0 ? ends[std::size_t(i) - 1] : 0);
    ::ExtTextOutA(item.hDC, area.right - size.cx, area.top, ETO_CLIPPED, &area, text.c_str(), UINT(count),
                  advances.data());
    ::SelectObject(item.hDC, old);
}

void TAboutBoxWindow::DrawNotice(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    ::FillRect(item.hDC, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    const std::string text = WindowText(item.hwndItem);
    HGDIOBJ old = ::SelectObject(item.hDC, FFont);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(COLOR_WINDOWTEXT));
    const UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    RECT measured = area;
    const int textHeight = ::DrawTextA(item.hDC, text.c_str(), -1, &measured, format | DT_CALCRECT);
    RECT lines = area;
    lines.top = std::max<LONG>(area.top, area.bottom - textHeight);
    ::DrawTextA(item.hDC, text.c_str(), -1, &lines, format);
    ::SelectObject(item.hDC, old);
}

LRESULT TAboutBoxWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: FClosed = true; return 0;  // OK, Enter and Esc all press the button
        case control::WebSite:
            if (HIWORD(wParam) == STN_CLICKED) WebSiteClick();
            return 0;
        default: break;
        }
        break;
    case DM_GETDEFID: return MAKELRESULT(control::OKButton, DC_HASDEFID);
    case WM_CLOSE: FClosed = true; return 0;  // hidden by ShowModal, never destroyed
    case WM_CTLCOLORSTATIC: {
        // Labels and the read-only support address all sit on the button face.
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == ::GetDlgItem(FWindow, control::WebSite)) {
            ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
            return TRUE;
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (int(item.CtlID) == control::LabelNotice) {
            DrawNotice(item);
            return TRUE;
        }
        if (int(item.CtlID) == control::WebSite) {
            DrawLink(item);
            return TRUE;
        }
        break;
    }
    default: break;
    }
    return ::DefWindowProcA(FWindow, message, wParam, lParam);
}

}  // namespace gridloom
