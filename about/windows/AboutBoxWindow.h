// The About box of the Windows program, drawn with the system's own controls: the program's
// icon, product name, version line and copyright in an etched panel, the developer's web
// site as a link, the developer's notice and the support address, and an OK button that
// Enter and Esc press too. What it says and where everything sits is shared with the Linux
// box (about/AboutTexts.h, about/AboutLayout.h); the values come from the running
// program's own version resource, read once when the box is made.
//
// The main window makes one at start-up; the box stays hidden until its "About" shows it,
// and closing it only hides it again for the next time.
#pragma once

#include <string>

#include "platform/windows/WinApi.h"

#include "about/VersionValues.h"

namespace gridloom {

// The identifiers of the box's controls (GetDlgItem finds them); the OK button is IDOK.
namespace about_box_control {
inline constexpr int Panel1 = 100;
inline constexpr int ProgramIcon = 101;
inline constexpr int ProductName = 102;
inline constexpr int Version = 103;
inline constexpr int Copyright = 104;
inline constexpr int Comments = 105;
inline constexpr int WebSite = 106;
inline constexpr int LabelNotice = 107;
inline constexpr int EditSupport = 108;
inline constexpr int OKButton = IDOK;
}  // namespace about_box_control

class TAboutBoxWindow {
public:
    explicit TAboutBoxWindow(HINSTANCE instance);  // creates the dialog window once, hidden
    ~TAboutBoxWindow();
    TAboutBoxWindow(const TAboutBoxWindow&) = delete;
    TAboutBoxWindow& operator=(const TAboutBoxWindow&) = delete;

    // Shows the box centred on the screen, owned by owner (which may be null) and with
    // owner disabled meanwhile; returns when OK, Enter, Esc or the close box has hidden it.
    // A quit message arriving meanwhile ends the display and is left for the caller's loop.
    void ShowModal(HWND owner);
    HWND Handle() const;

    // Every message of the window, from its window procedure (platform/windows/WindowOwner.h).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void CreateControls();
    HWND AddControl(const char* kind, const char* text, DWORD style, int id, HFONT font);
    // Fills the caption, the icon, the version line and the link; runs at every show.
    void FormShow();
    void WebSiteClick();
    // Places a label at left, top (96-pixel units in the box) as large as its text.
    void FitLabel(int id, int left, int top);
    void RightAlignWebSite();
    void DrawLink(const DRAWITEMSTRUCT& item);
    void DrawNotice(const DRAWITEMSTRUCT& item);
    int Scaled(int pixels) const;

    HINSTANCE FInstance;
    HWND FWindow = nullptr;
    HFONT FFont = nullptr;      // the system's dialog font
    HFONT FBoldFont = nullptr;  // the product name's
    HFONT FLinkFont = nullptr;  // the link's: underlined
    HICON FIcon = nullptr;
    int FDpi = 96;
    TAboutValues FValues;
    bool FClosed = true;
};

}  // namespace gridloom
