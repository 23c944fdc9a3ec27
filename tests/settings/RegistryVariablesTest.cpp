// Settings as registry variables, the font holder and the App Paths lookup, against the
// stand-in registry in a temporary folder.
#include <gtest/gtest.h>

#include <memory>

#include "RegistryFixture.h"
#include "platform/RegistryStore.h"
#include "settings/AppPath.h"
#include "settings/RegistryFont.h"
#include "settings/RegistryVariables.h"

namespace gridloom {
namespace {

// Colour values as the font holder stores them: red in the low byte.
constexpr TColor Black = 0x000000;
constexpr TColor Red = 0x0000FF;

using test::RegistryFixture;
using RegistryVariables = RegistryFixture;

TEST(ProgramNames, BaseNameDropsFolderAndExtension) {
    EXPECT_EQ(ProgramBaseName("Gridloom.exe"), "Gridloom");
    EXPECT_EQ(ProgramBaseName("/opt/gridloom/Gridloom"), "Gridloom");
    EXPECT_EQ(ProgramBaseName("Gridloom.old.exe"), "Gridloom.old");
    EXPECT_EQ(ProgramBaseName("/usr/bin/gridloom"), "gridloom");
    EXPECT_EQ(ProgramBaseName("/a.b/noext"), "noext");
}

TEST_F(RegistryVariables, OnlyHolmviewMovesToTheMachineRoot) {
    for (const char* other : {"/usr/bin/Gridloom", "holmview", "holmview.exe.bak", "xholmview.exe", "HOLMVIEW.EX"}) {
        ChooseRegistryLocation(other);
        EXPECT_EQ(RegistryCompanyName, "Tarnwick") << other;
        EXPECT_EQ(RegistryRootKey, HKEY_CURRENT_USER) << other;
    }
    for (const char* holmview : {"holmview.exe", "/opt/q/HolmView.Exe", "HOLMVIEW.EXE"}) {
        RegistryCompanyName = "Tarnwick";
        RegistryRootKey = HKEY_CURRENT_USER;
        ChooseRegistryLocation(holmview);
        EXPECT_EQ(RegistryCompanyName, "Quorvane") << holmview;
        EXPECT_EQ(RegistryRootKey, HKEY_LOCAL_MACHINE) << holmview;
    }
}

TEST_F(RegistryVariables, FirstRunTakesDefaultsCreatesNothingAndStoresEverythingAtClose) {
    auto spacing = std::make_unique<TRegistryInteger>("GridSpacing", 3);
    auto annotation = std::make_unique<TRegistryBoolean>("Annotation", false);
    auto onTop = std::make_unique<TRegistryBoolean>("GridOnTop", false);
    TFont arial{"Arial", 11, fsBold, Black};
    auto font = std::make_unique<TRegistryFont>("Font", &arial);
    auto gridWidth = std::make_unique<TRegistryInteger>("GridlineWidth", 1);
    auto boundaryWidth = std::make_unique<TRegistryInteger>("BoundaryWidth", 1);
    auto show = std::make_unique<TRegistryBoolean>("ShowBoundaries", true);
    EXPECT_EQ(spacing->Value, 3);
    EXPECT_FALSE(annotation->Value);
    EXPECT_TRUE(show->Value);
    EXPECT_EQ(gridWidth->Value, 1);
    EXPECT_FALSE(std::filesystem::exists(Folder / "home"));  // loads never create the key

    spacing.reset();
    annotation.reset();
    onTop.reset();
    font.reset();
    gridWidth.reset();
    boundaryWidth.reset();
    show.reset();
    EXPECT_EQ(StoredNames(),
              (std::vector<std::string>{"GridSpacing", "Annotation", "GridOnTop", "FontColour", "FontName", "FontStyle",
                                        "FontSize", "GridlineWidth", "BoundaryWidth", "ShowBoundaries"}));
    EXPECT_EQ(Stored("GridSpacing"), 3);
    EXPECT_EQ(Stored("ShowBoundaries"), 1);
    EXPECT_EQ(StoredString("FontName"), "Arial");

    TRegistryInteger nextRun("GridSpacing", 7);
    EXPECT_EQ(nextRun.Value, 3);
}

TEST_F(RegistryVariables, BooleansLoadAnyNonZeroAsTrueAndStoreOneOrZero) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteInteger("Zero", 0);
        r.WriteInteger("Two", 2);
        r.WriteInteger("Minus", -1);
        r.WriteString("Text", "1");
    });
    {
        TRegistryBoolean zero("Zero", true), two("Two", false), minus("Minus", false), text("Text", false);
        EXPECT_FALSE(zero.Value);
        EXPECT_TRUE(two.Value);
        EXPECT_TRUE(minus.Value);
        EXPECT_FALSE(text.Value);  // a string is not a boolean: the default stands
    }
    EXPECT_EQ(Stored("Zero"), 0);
    EXPECT_EQ(Stored("Two"), 2);  // unchanged since loaded: left as it was
    EXPECT_EQ(Stored("Minus"), -1);
    EXPECT_EQ(Stored("Text"), 0);  // a value of another type is replaced
    {
        TRegistryBoolean two("Two", false), zero("Zero", true);
        two.Value = false;
        zero.Value = true;
    }
    EXPECT_EQ(Stored("Two"), 0);
    EXPECT_EQ(Stored("Zero"), 1);
}

TEST_F(RegistryVariables, IntegersKeepAnyValueAndIgnoreOtherTypes) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteString("GridSpacing", "5");
        r.WriteInteger("Big", 65538);
        r.WriteInteger("Minus", -1);
    });
    {
        TRegistryInteger spacing("GridSpacing", 3), big("Big", 0), minus("Minus", 0);
        EXPECT_EQ(spacing.Value, 3);
        EXPECT_EQ(big.Value, 65538);  // ranges are the owner's business
        EXPECT_EQ(minus.Value, -1);
    }
    EXPECT_EQ(Stored("GridSpacing"), 3);  // replaced by an integer at close
    EXPECT_EQ(Stored("Big"), 65538);
    EXPECT_EQ(Stored("Minus"), -1);
}

TEST_F(RegistryVariables, StringsTakeAStoredEmptyStringButNotAnotherType) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteString("Empty", "");
        r.WriteInteger("Number", 4);
    });
    TRegistryString empty("Empty", "default"), number("Number", "default"), missing("Missing", "default");
    EXPECT_EQ(empty.Value, "");
    EXPECT_EQ(number.Value, "default");
    EXPECT_EQ(missing.Value, "default");
}

TEST_F(RegistryVariables, NameAloneReadsNothingButStillStores) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteInteger("Number", 9);
        r.WriteString("Text", "stored");
        r.WriteInteger("Flag", 1);
    });
    {
        std::unique_ptr<TRegistryVariable> number = std::make_unique<TRegistryInteger>("Number");
        TRegistryString text("Text");
        TRegistryBoolean flag("Flag");
        EXPECT_EQ(static_cast<TRegistryInteger&>(*number).Value, 0);
        EXPECT_EQ(text.Value, "");
        EXPECT_FALSE(flag.Value);
    }  // destroyed through the base: still stores
    EXPECT_EQ(Stored("Number"), 0);
    EXPECT_EQ(StoredString("Text"), "");
    EXPECT_EQ(Stored("Flag"), 0);
}

TEST_F(RegistryVariables, OnlyTheLastValueIsStoredAndOnlyAtDestruction) {
    auto width = std::make_unique<TRegistryInteger>("GridlineWidth", 1);
    width->Value = 4;
    width->Value = 2;
    EXPECT_FALSE(std::filesystem::exists(UserFile()));
    width.reset();
    EXPECT_EQ(Stored("GridlineWidth"), 2);
}

TEST_F(RegistryVariables, AVariableStoresWhereItLookedEvenIfTheGlobalsChange) {
    auto spacing = std::make_unique<TRegistryInteger>("GridSpacing", 3);
    RegistryCompanyName = "Elsewhere";
    RegistryRootKey = HKEY_LOCAL_MACHINE;
    SetProgramFileName("Other");
    spacing.reset();
    EXPECT_EQ(Stored("GridSpacing"), 3);
    EXPECT_FALSE(std::filesystem::exists(MachineFile()));
}

TEST_F(RegistryVariables, ARenamedProgramStartsAfresh) {
    {
        TRegistryInteger spacing("GridSpacing", 3);
        spacing.Value = 6;
    }
    SetProgramFileName("Gridloom.old.exe");
    {
        TRegistryInteger spacing("GridSpacing", 3);
        EXPECT_EQ(spacing.Value, 3);
        EXPECT_EQ(spacing.KeyPath(), "\\Software\\Tarnwick\\Gridloom.old");
    }
    EXPECT_EQ(Stored("GridSpacing", HKEY_CURRENT_USER, "\\Software\\Tarnwick\\Gridloom.old"), 3);
    EXPECT_EQ(Stored("GridSpacing"), 6);
}

// A name that leaves nothing once its extension is dropped must not put the settings right
// in the company key.
TEST_F(RegistryVariables, AProgramWithoutABaseNameKeepsGridloomsSettings) {
    {
        TRegistryInteger spacing("GridSpacing", 3);
        spacing.Value = 6;
    }
    for (const char* name : {".x", ".", "folder/", "/"}) {
        SetProgramFileName(name);
        TRegistryInteger spacing("GridSpacing", 3);
        EXPECT_EQ(spacing.KeyPath(), "\\Software\\Tarnwick\\Gridloom") << name;
        EXPECT_EQ(spacing.Value, 6) << name;
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Tarnwick", false));
    EXPECT_FALSE(registry.ValueExists("GridSpacing"));
}

TEST_F(RegistryVariables, HolmviewKeepsItsSettingsForTheMachine) {
    SetProgramFileName("holmview.exe");
    ChooseRegistryLocation("holmview.exe");
    {
        TRegistryInteger spacing("GridSpacing", 3);
        spacing.Value = 5;
    }
    EXPECT_FALSE(std::filesystem::exists(UserFile()));
    EXPECT_EQ(Stored("GridSpacing", HKEY_LOCAL_MACHINE, "\\Software\\Quorvane\\holmview"), 5);
    TRegistryInteger again("GridSpacing", 3);
    EXPECT_EQ(again.Value, 5);
}

TEST_F(RegistryVariables, RefusedStoresAreSilentAndLeaveDefaultsNextTime) {
    MakeUnwritable("GRIDLOOM_MACHINE_REGISTRY");
    SetProgramFileName("HOLMVIEW.EXE");
    ChooseRegistryLocation("HOLMVIEW.EXE");
    for (int run = 0; run < 2; ++run) {
        TRegistryInteger spacing("GridSpacing", 3);
        TRegistryString name("Name", "none");
        EXPECT_EQ(spacing.Value, 3);
        EXPECT_EQ(name.Value, "none");
        spacing.Value = 6;
        name.Value = "changed";
    }
    MakeUnwritable("XDG_CONFIG_HOME");
    RegistryRootKey = HKEY_CURRENT_USER;
    EXPECT_NO_THROW({ TRegistryBoolean flag("Flag", true); });
}

TEST_F(RegistryVariables, TheFontHolderStoresInItsOwnOrderAndNeverLoads) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteString("FontName", "Courier");
        r.WriteInteger("FontSize", 30);
    });
    TFont arial{"Arial", 11, fsBold, Black};
    {
        TRegistryFont holder("Font", &arial);
        EXPECT_EQ(holder.Name().Value, "Arial");
        EXPECT_EQ(holder.Size().Value, 11);
        EXPECT_EQ(holder.Style().Value, 1);
        EXPECT_EQ(holder.Colour().Value, 0);
        arial.Color = Red;  // not followed until the owner copies again
        EXPECT_EQ(holder.Colour().Value, 0);
        holder.CopyFromFont(&arial);
    }
    // Name and size are those the holder was made from: what was stored stays.
    EXPECT_EQ(StoredString("FontName"), "Courier");
    EXPECT_EQ(Stored("FontSize"), 30);
    EXPECT_EQ(Stored("FontStyle"), 1);
    EXPECT_EQ(Stored("FontColour"), 255);
    {
        TRegistryFont holder("Font", &arial);
        TFont times{"Times New Roman", 14, fsItalic, Red};
        holder.CopyFromFont(&times);
    }
    EXPECT_EQ(StoredString("FontName"), "Times New Roman");
    EXPECT_EQ(Stored("FontSize"), 14);
    EXPECT_EQ(Stored("FontStyle"), 2);

    TRegistryFont fresh("Label", nullptr);
    EXPECT_EQ(fresh.Name().Value, "");  // stored fonts have no effect on a holder
}

// The order the holder stores in is checked with the first run's.
TEST_F(RegistryVariables, FontHoldersStoreEmptyValuesWithoutAFontAndStylesAsTheirCode) {
    { TRegistryFont holder("Font", nullptr); }
    EXPECT_EQ(Stored("FontColour"), 0);
    EXPECT_EQ(StoredString("FontName"), "");
    EXPECT_EQ(Stored("FontStyle"), 0);
    EXPECT_EQ(Stored("FontSize"), 0);

    const std::pair<TFontStyles, int32_t> cases[] = {{0, 0},
                                                     {fsBold, 1},
                                                     {fsBold | fsItalic, 3},
                                                     {fsItalic | fsUnderline, 6},
                                                     {fsBold | fsItalic | fsUnderline | fsStrikeOut, 15}};
    for (auto [styles, code] : cases) {
        std::filesystem::remove(UserFile());  // a first run: a holder left unchanged fills it in
        TFont font{"Times New Roman", 14, styles, Black};
        { TRegistryFont holder("Font", &font); }
        EXPECT_EQ(Stored("FontStyle"), code) << code;
        EXPECT_EQ(StoredString("FontName"), "Times New Roman");
        EXPECT_EQ(Stored("FontSize"), 14);
    }
}

// Two windows over one settings file: each has its own set of variables, loaded at its start
// and freed at its close. Neither may undo the other's change by storing what it loaded.
struct TWindowSettings {
    TFont Font{"Arial", 11, fsBold, Black};
    std::unique_ptr<TRegistryFont> FontHolder = std::make_unique<TRegistryFont>("Font", &Font);
    std::unique_ptr<TRegistryInteger> Spacing = std::make_unique<TRegistryInteger>("GridSpacing", 3);
    std::unique_ptr<TRegistryBoolean> Annotation = std::make_unique<TRegistryBoolean>("Annotation", false);
    std::unique_ptr<TRegistryString> Text = std::make_unique<TRegistryString>("Text", "none");

    void Close() {
        Spacing.reset();
        Annotation.reset();
        FontHolder->CopyFromFont(&Font);
        FontHolder.reset();
        Text.reset();
    }
};

TEST_F(RegistryVariables, TwoWindowsKeepEachOthersChangesWhicheverClosesLast) {
    for (bool aClosesFirst : {true, false}) {
        std::filesystem::remove(UserFile());
        TWindowSettings a, b;
        a.Spacing->Value = 0;  // "1 degree"
        a.Font = TFont{"Times New Roman", 14, fsItalic, Black};
        b.Annotation->Value = true;
        b.Text->Value = "from b";
        if (aClosesFirst) {
            a.Close();
            b.Close();
        } else {
            b.Close();
            a.Close();
        }
        EXPECT_EQ(Stored("GridSpacing"), 0) << aClosesFirst;
        EXPECT_EQ(Stored("Annotation"), 1) << aClosesFirst;
        EXPECT_EQ(StoredString("Text"), "from b") << aClosesFirst;
        EXPECT_EQ(StoredString("FontName"), "Times New Roman") << aClosesFirst;
        EXPECT_EQ(Stored("FontSize"), 14) << aClosesFirst;
    }
}

TEST_F(RegistryVariables, AValueBothWindowsChangedGoesToTheLastToClose) {
    TWindowSettings a, b;
    a.Spacing->Value = 0;
    b.Spacing->Value = 6;
    b.Close();
    a.Close();
    EXPECT_EQ(Stored("GridSpacing"), 0);
    TWindowSettings c;
    EXPECT_EQ(c.Spacing->Value, 0);
}

TEST_F(RegistryVariables, AppPathReadsTheStoredPathOnly) {
    const std::string appPaths = "\\Software\\Tarnwick\\App Paths";
    EXPECT_EQ(ReadAppPath("Skylune"), "");
    EXPECT_FALSE(std::filesystem::exists(Folder / "home"));  // the lookup never creates the key

    Store(appPaths, [](TRegistry& r) { r.WriteString("Other", "C:\\Other.exe"); });
    EXPECT_EQ(ReadAppPath("Skylune"), "");
    Store(appPaths, [](TRegistry& r) { r.WriteInteger("Skylune", 7); });
    EXPECT_EQ(ReadAppPath("Skylune"), "");
    Store(appPaths, [](TRegistry& r) { r.WriteString("Skylune", "D:\\Apps\\Skylune\\Skylune.exe"); });
    EXPECT_EQ(ReadAppPath("skylune"), "D:\\Apps\\Skylune\\Skylune.exe");

    RegistryCompanyName = "Quorvane";
    RegistryRootKey = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(ReadAppPath("Skylune"), "");
    Store(
        "\\Software\\Quorvane\\App Paths", [](TRegistry& r) { r.WriteString("Skylune", "/opt/skylune/Skylune"); },
        HKEY_LOCAL_MACHINE);
    EXPECT_EQ(ReadAppPath("Skylune"), "/opt/skylune/Skylune");
}

}  // namespace
}  // namespace gridloom
