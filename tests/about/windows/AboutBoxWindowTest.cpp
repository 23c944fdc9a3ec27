// The native About box, made from this test program's own resources (its icon and version
// resource, as the real program carries them) and shown modally. Each show is ended by a
// message posted to the box, as a user's key or click would be; a show that nothing ends
// is closed by a timer after a while, and the test fails.
//
// The box needs a desktop. Where none can be reached (Wine without a display) the tests are
// skipped, unless GRIDLOOM_REQUIRE_DESKTOP is set, as about/windows/about-box-wine.sh sets
// it when it runs them on a virtual display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "about/AboutLayout.h"
#include "about/windows/AboutBoxWindow.h"

namespace gridloom {
namespace {

namespace control = about_box_control;
namespace layout = about_layout;

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int Dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
int Scaled(int pixels) { return MulDiv(pixels, Dpi(), 96); }

// A control's place in the box's client area.
RECT PlaceOf(HWND box, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(box, id), &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LOGFONTA FontOf(HWND box, int id) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(box, id, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

class AboutBoxWindow : public ::testing::Test {
protected:
    // Shows the box; once the show is under way, `during` runs (and may look at the box)
    // and `end` ends it. True when the show ended by `end`, not by the timer.
    bool ShowAndEnd(const std::function<void(HWND)>& end, const std::function<void()>& during = {}) {
        Current = this;
        During = during;
        End = end;
        TimedOut = false;
        const UINT_PTR started = SetTimer(nullptr, 0, 50, &AboutBoxWindow::Started);
        const UINT_PTR guard = SetTimer(nullptr, 0, 5000, &AboutBoxWindow::Guard);
        Box.ShowModal(Owner);
        KillTimer(nullptr, started);
        KillTimer(nullptr, guard);
        return !TimedOut;
    }
    static void CALLBACK Started(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (Current->During) Current->During();
        Current->End(Current->Box.Handle());
    }
    static void CALLBACK Guard(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        Current->TimedOut = true;
        PostMessageA(Current->Box.Handle(), WM_COMMAND, IDOK, 0);
    }
    static void PressEsc(HWND box) { PostMessageA(GetFocus() ? GetFocus() : box, WM_KEYDOWN, VK_ESCAPE, 0x00010001); }

    void SetUp() override {
        if (Box.Handle() != nullptr) return;
        if (std::getenv("GRIDLOOM_REQUIRE_DESKTOP") != nullptr) FAIL() << "the box could not be made";
        GTEST_SKIP() << "no desktop to make windows on";
    }
    void TearDown() override {
        if (Owner != nullptr) DestroyWindow(Owner);
    }

    TAboutBoxWindow Box{GetModuleHandleA(nullptr)};
    HWND Owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    std::function<void()> During;
    std::function<void(HWND)> End;
    bool TimedOut = false;
    static inline AboutBoxWindow* Current = nullptr;
};

TEST_F(AboutBoxWindow, IsMadeHiddenAndShowsTheProgramsOwnVersionResourceTheSameAtEveryShow) {
    const HWND box = Box.Handle();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(box));
    auto texts = [box] {
        std::vector<std::string> t = {Text(box)};
        for (int id : {control::ProductName, control::Version, control::Copyright, control::Comments, control::WebSite,
                       control::LabelNotice, control::EditSupport, control::OKButton})
            t.push_back(Text(GetDlgItem(box, id)));
        return t;
    };
    ASSERT_TRUE(ShowAndEnd(PressEsc));
    const std::vector<std::string> first = texts();
    const std::vector<std::string> expected = {
        "About Veskar's Skylune - Make master overlay",
        "Skylune - Make master overlay",
        "gridloom_about_tests.exe, V1.4.0.10, 2002 Apr 04",
        "Copyright \xA9 1998-2002 Tarnwick",  // code page 1252, the resource's own
        "Comments",
        "www.tarnwick.example",
        "Software developed by Tarnwick, Kellsmouth, e-mail: software@tarnwick.example.  "
        "Support is from your software supplier or via:",
        "skylune-subscribe@lists.tarnwick.example",
        "OK"};
    EXPECT_EQ(first, expected);
    EXPECT_NE(SendDlgItemMessageA(box, control::ProgramIcon, STM_GETICON, 0, 0), 0);
    ASSERT_TRUE(ShowAndEnd(PressEsc));
    EXPECT_EQ(texts(), first);
}

TEST_F(AboutBoxWindow, HoldsItsControlsInTheirPlaces) {
    const HWND box = Box.Handle();
    ASSERT_TRUE(ShowAndEnd(PressEsc));
    RECT client;
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, Scaled(layout::ClientWidth));
    EXPECT_EQ(client.bottom, Scaled(layout::ClientHeight));

    auto expectRect = [box](int id, layout::TRect r, bool inPanel) {
        const int dx = inPanel ? layout::Panel.Left : 0, dy = inPanel ? layout::Panel.Top : 0;
        const RECT at = PlaceOf(box, id);
        EXPECT_EQ(at.left, Scaled(r.Left + dx)) << id;
        EXPECT_EQ(at.top, Scaled(r.Top + dy)) << id;
        EXPECT_EQ(at.right - at.left, Scaled(r.Width)) << id;
        EXPECT_EQ(at.bottom - at.top, Scaled(r.Height)) << id;
    };
    expectRect(control::Panel1, layout::Panel, false);
    expectRect(control::OKButton, layout::OKButton, false);
    expectRect(control::ProgramIcon, layout::ProgramIcon, true);
    expectRect(control::LabelNotice, layout::LabelNotice, true);
    expectRect(control::EditSupport, layout::EditSupport, true);
    for (auto [id, at] :
         {std::pair{control::ProductName, layout::ProductName}, std::pair{control::Version, layout::Version},
          std::pair{control::Copyright, layout::Copyright}, std::pair{control::Comments, layout::Comments}}) {
        const RECT r = PlaceOf(box, id);
        EXPECT_EQ(r.left, Scaled(layout::Panel.Left + at.Left)) << id;
        EXPECT_EQ(r.top, Scaled(layout::Panel.Top + at.Top)) << id;
        EXPECT_GT(r.right - r.left, 0) << id;
    }
    // The version line is sized to its text, longer than any design caption would be.
    EXPECT_GT(PlaceOf(box, control::Version).right, Scaled(layout::Panel.Left + layout::Version.Left + 100));
    const RECT link = PlaceOf(box, control::WebSite);
    EXPECT_EQ(link.right, Scaled(layout::Panel.Left + layout::WebSiteRight));
    EXPECT_EQ(link.top, Scaled(layout::Panel.Top + layout::WebSiteTop));
    EXPECT_LT(link.left, Scaled(layout::Panel.Left + layout::WebSiteAtDesign.Left));  // the address is long

    EXPECT_GE(FontOf(box, control::ProductName).lfWeight, FW_BOLD);
    EXPECT_TRUE(FontOf(box, control::WebSite).lfUnderline);
    EXPECT_FALSE(FontOf(box, control::Version).lfUnderline);
    const LONG edit = GetWindowLongA(GetDlgItem(box, control::EditSupport), GWL_STYLE);
    EXPECT_TRUE(edit & ES_READONLY);
    EXPECT_FALSE(edit & WS_TABSTOP);
    EXPECT_FALSE(edit & WS_BORDER);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(box, control::OKButton), GWL_STYLE) & BS_DEFPUSHBUTTON);
    // A dialog border: no minimise or maximise box, not resizable.
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST_F(AboutBoxWindow, IsModalCentredWithTheFocusOnOkWhileShown) {
    const HWND box = Box.Handle();
    bool visible = false, ownerEnabled = true, okFocused = false, owned = false;
    RECT frame{};
    ASSERT_TRUE(ShowAndEnd(PressEsc, [&] {
        visible = IsWindowVisible(box);
        ownerEnabled = IsWindowEnabled(Owner);
        okFocused = GetFocus() == GetDlgItem(box, control::OKButton);
        owned = GetWindow(box, GW_OWNER) == Owner;
        GetWindowRect(box, &frame);
    }));
    EXPECT_TRUE(visible);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(owned);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(IsWindowEnabled(Owner));
    EXPECT_TRUE(IsWindow(box));  // hidden, not destroyed
}

TEST_F(AboutBoxWindow, OkEnterEscAndTheCloseBoxAllEndTheShow) {
    const std::pair<const char*, std::function<void(HWND)>> ways[] = {
        {"Esc", PressEsc},
        {"Enter", [](HWND box) { PostMessageA(GetFocus() ? GetFocus() : box, WM_KEYDOWN, VK_RETURN, 0x001C0001); }},
        {"OK clicked", [](HWND box) { PostMessageA(GetDlgItem(box, control::OKButton), BM_CLICK, 0, 0); }},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [name, way] : ways) {
        EXPECT_TRUE(ShowAndEnd(way)) << name;
        EXPECT_FALSE(IsWindowVisible(Box.Handle())) << name;
    }
}

}  // namespace
}  // namespace gridloom
