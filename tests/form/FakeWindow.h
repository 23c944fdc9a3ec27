// A window for the main window's logic with no toolkit behind it: the controls are plain
// values that hold what a real control would (a radio group that checks no button for an
// index it has none for, up-downs held within 1-5), message boxes and the font dialog answer
// as scripted, and "waiting window messages" are actions a test queues for the next moment
// the logic lets messages run. TFakeWindow starts and closes the logic in the order every
// toolkit's window follows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RegistrySandbox.h"
#include "app/FormMainLogic.h"
#include "platform/FileAttributes.h"
#include "platform/Registry.h"
#include "platform/RegistrySession.h"
#include "settings/moxCheckState.h"
#include "tests/support/FakeServices.h"

namespace gridloom::test {

struct TShownMessage {
    TMessageIcon Icon;
    std::string Caption;
    std::string Text;
    TMessageButtons Buttons;
    bool BusyMeanwhile;  // whether the hourglass was still asked for while it waited
};

class TFakeView : public IFormMainView {
public:
    // The controls, in their design states.
    int ItemIndex = 3;
    std::map<TFormCheckBox, bool> Boxes{
        {TFormCheckBox::ShowScale, false}, {TFormCheckBox::GridOnTop, false}, {TFormCheckBox::ShowBoundaries, true}};
    std::map<TFormWidth, int16_t> Positions{{TFormWidth::Gridline, 1}, {TFormWidth::Boundary, 1}};
    std::map<TFormWidth, int> Typed;  // typed into a width box, not yet taken
    bool ZoomEnabled = false;
    std::string ZoomCaption = "Zoom in";
    std::string Status;
    int Progress = 0;
    bool Busy = false;
    std::unique_ptr<TBitmap> Picture;
    int ScrollWidth = 732, ScrollHeight = 375;
    bool Stretch = true;
    int DisplayWidth = 481, DisplayHeight = 193;
    bool ScrollBars = false;
    int Repaints = 0;
    bool Open = true;
    int AboutShown = 0;

    std::vector<TShownMessage> Messages;
    std::deque<bool> Answers;  // for the next message boxes; OK/Yes when none is left
    std::function<bool(TFont&)> FontDialog;
    std::deque<std::function<void()>> Waiting;  // user input that arrives meanwhile

    TFormMainLogic* Logic = nullptr;

    // The user steps an up-down by one (its click follows).
    void Step(TFormWidth width, int by) {
        SetUpDownPosition(width, int16_t(Positions[width] + by));
        Click(width);
    }
    // The user clicks a radio button or a check box.
    void Pick(int index) { ItemIndex = index; }
    void Tick(TFormCheckBox box) { Boxes[box] = !Boxes[box]; }

    int GridItemIndex() const override { return ItemIndex; }
    void SetGridItemIndex(int index) override { ItemIndex = index >= 0 && index < 8 ? index : -1; }
    bool Checked(TFormCheckBox box) const override { return Boxes.at(box); }
    void SetChecked(TFormCheckBox box, bool checked) override { Boxes[box] = checked; }
    int16_t UpDownPosition(TFormWidth width) const override { return Positions.at(width); }
    void SetUpDownPosition(TFormWidth width, int16_t position) override {
        Positions[width] = std::clamp<int16_t>(position, 1, 5);
    }
    void TakeTypedWidths() override {
        for (auto [width, typed] : Typed) {
            if (typed < 1 || typed > 5) continue;
            Positions[width] = int16_t(typed);
            Click(width);
        }
        Typed.clear();
    }
    void SetZoomEnabled(bool enabled) override { ZoomEnabled = enabled; }
    void SetZoomCaption(const std::string& caption) override { ZoomCaption = caption; }
    void SetStatusText(const std::string& text) override { Status = text; }
    void ProcessMessages() override {
        while (!Waiting.empty()) {
            auto next = std::move(Waiting.front());
            Waiting.pop_front();
            next();
        }
    }
    void SetProgress(int position) override { Progress = position; }
    void SetBusy(bool busy) override { Busy = busy; }
    TBitmap& NewPicture() override {
        Picture = std::make_unique<TBitmap>();
        return *Picture;
    }
    int ScrollBoxWidth() const override { return ScrollWidth; }
    int ScrollBoxHeight() const override { return ScrollHeight; }
    void SetDisplayStretch(bool stretch) override { Stretch = stretch; }
    void SetDisplaySize(int width, int height) override {
        DisplayWidth = width;
        DisplayHeight = height;
    }
    void SetScrollBarsInUse(bool inUse) override { ScrollBars = inUse; }
    void RepaintDisplay() override { ++Repaints; }
    bool ShowMessage(TMessageIcon icon, const std::string& caption, const std::string& text,
                     TMessageButtons buttons) override {
        Messages.push_back({icon, caption, text, buttons, Busy});
        if (Answers.empty()) return true;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::string ApplicationTitle() const override { return "Gridloom"; }
    bool ExecuteFontDialog(TFont& font) override { return FontDialog ? FontDialog(font) : false; }
    void ShowAboutBox() override { ++AboutShown; }
    // As a toolkit does: the logic is asked first, and may keep the window open.
    void CloseWindow() override {
        if (Open && Logic->CloseQuery()) Open = false;
    }

private:
    void Click(TFormWidth width) {
        if (width == TFormWidth::Gridline) {
            Logic->UpDownGridlineWidthClick();
        } else {
            Logic->UpDownBoundaryWidthClick();
        }
    }
};

// The logic in a window, started and closed in the order FormMainLogic.h prescribes.
class TFakeWindow {
public:
    explicit TFakeWindow(ISystemServices& services) {
        Logic = std::make_unique<TFormMainLogic>(View, services);
        View.Logic = Logic.get();
        {
            TRegistrySession starting(TRegistrySession::TPurpose::Loading);
            ShowBoundaries.SetNamedAs("ShowBoundaries");
            View.Boxes[TFormCheckBox::ShowBoundaries] =
                ShowBoundaries.Loaded("CheckBoxShowBoundaries", View.Boxes[TFormCheckBox::ShowBoundaries]);
            Logic->FormCreate();
        }
        Logic->ScrollBoxResize();  // the window's first layout
    }
    ~TFakeWindow() { Destroy(); }
    TFakeWindow(const TFakeWindow&) = delete;
    TFakeWindow& operator=(const TFakeWindow&) = delete;

    // The window's destruction at the program's end: the settings are stored.
    void Destroy() {
        if (!Logic) return;
        {
            TRegistrySession closing(TRegistrySession::TPurpose::Storing);
            Logic->FormDestroy();
            ShowBoundaries.Destroying(View.Boxes[TFormCheckBox::ShowBoundaries]);
        }
        Logic.reset();
    }

    // The user closes the window and the program ends.
    void CloseAndDestroy() {
        View.CloseWindow();
        EXPECT_FALSE(View.Open);
        Destroy();
    }

    TFakeView View;
    TmoxCheckState ShowBoundaries;
    std::unique_ptr<TFormMainLogic> Logic;
};

// A small world: one square of land from 10 W to 30 E and 10 S to 30 N, and a boundary line
// across it, in the boundary file's records (point count, kind, points in minutes).
inline std::string SmallCountries() {
    std::string data;
    const auto record = [&data](uint8_t kind, std::vector<std::pair<int16_t, int16_t>> points) {
        const uint32_t count = uint32_t(points.size());
        for (int i = 0; i < 4; ++i) data += char(count >> (8 * i));
        data += char(kind);
        for (auto [lon, lat] : points)
            for (int16_t v : {lon, lat}) {
                data += char(uint16_t(v));
                data += char(uint16_t(v) >> 8);
            }
    };
    record(0, {{-600, -600}, {1800, -600}, {1800, 1800}, {-600, 1800}, {-600, -600}});
    record(1, {{-600, 600}, {1800, 600}});
    record(0, {});  // terminator
    return data;
}

// A test of the window's logic on a registry of its own, with Skylune registered in the
// test's folder beside a small Countries.dat.
class FormLogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        Skylune = Sandbox.Folder().string() + std::string(1, std::filesystem::path::preferred_separator);
        std::ofstream(Skylune + "Countries.dat", std::ios::binary) << SmallCountries();
        if (!RegisterSkylune) return;
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(AppPathsKey(), true));
        registry.WriteString("Skylune", Skylune + "Skylune.exe");
    }

    void TearDown() override { Window.reset(); }

    TFakeWindow& Open() {
        Window = std::make_unique<TFakeWindow>(Services);
        return *Window;
    }
    void CloseAndDestroy() {
        if (Window) Window->CloseAndDestroy();
        Window.reset();
    }

    static std::string SettingsKey() { return SettingsKeyPath(); }
    static std::string AppPathsKey() { return "\\Software\\" + RegistryCompanyName + "\\App Paths"; }

    static void Store(const std::string& name, int32_t value) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(SettingsKey(), true));
        registry.WriteInteger(name, value);
    }
    // The integer stored under name, or nothing.
    static std::optional<int32_t> Stored(const std::string& name) {
        TRegistry registry;
        if (!registry.OpenKey(SettingsKey(), false) || !registry.ValueExists(name)) return std::nullopt;
        return registry.ReadInteger(name);
    }
    static std::string StoredString(const std::string& name) {
        TRegistry registry;
        if (!registry.OpenKey(SettingsKey(), false) || !registry.ValueExists(name)) return "(missing)";
        return registry.ReadString(name);
    }

    bool RegisterSkylune = true;
    TRegistrySandbox Sandbox;
    std::string Skylune;  // Skylune's folder, ending in its separator
    TFakeServices Services;
    std::unique_ptr<TFakeWindow> Window;
};

}  // namespace gridloom::test
