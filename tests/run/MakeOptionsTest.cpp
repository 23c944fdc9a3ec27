#include "tools/make/MakeOptions.h"

#include <gtest/gtest.h>

namespace gridloom {
namespace {

TMakeCommand Parse(std::vector<std::string> args) { return ParseMakeCommand(args); }

TEST(MakeOptions, DefaultsAreTheWindowsFirstStart) {
    TMakeCommand c = Parse({});
    ASSERT_EQ(c.Action, TMakeAction::Run);
    const TMakeOptions& o = c.Options;
    EXPECT_EQ(o.DataPath, "Countries.dat");
    EXPECT_EQ(o.OutputPath, "Overlay.bmp");
    EXPECT_EQ(o.GridIndex, 3);
    EXPECT_FALSE(o.Labels);
    EXPECT_FALSE(o.GridOnTop);
    EXPECT_TRUE(o.ShowBoundaries);
    EXPECT_EQ(o.GridlineWidth, 1);
    EXPECT_EQ(o.BoundaryWidth, 1);
    EXPECT_EQ(o.FontName, "Arial");
    EXPECT_EQ(o.FontSize, 11);
    EXPECT_EQ(o.FontStyle, fsBold);
    EXPECT_FALSE(o.OverwriteReadOnly);
    EXPECT_FALSE(o.Quiet);
}

TEST(MakeOptions, EveryOptionReachesItsField) {
    TMakeCommand c = Parse({"--data", "in.dat", "--out=out.bmp", "--grid", "none", "--labels", "--grid-on-top",
                            "--hide-boundaries", "--gridline-width", "5", "--boundary-width=+3", "--font",
                            "DejaVu Sans", "--font-size", "20", "--font-style", "italic,underline",
                            "--overwrite-readonly", "--quiet"});
    ASSERT_EQ(c.Action, TMakeAction::Run) << c.Error;
    const TMakeOptions& o = c.Options;
    EXPECT_EQ(o.DataPath, "in.dat");
    EXPECT_EQ(o.OutputPath, "out.bmp");
    EXPECT_EQ(o.GridIndex, 7);
    EXPECT_TRUE(o.Labels);
    EXPECT_TRUE(o.GridOnTop);
    EXPECT_FALSE(o.ShowBoundaries);
    EXPECT_EQ(o.GridlineWidth, 5);
    EXPECT_EQ(o.BoundaryWidth, 3);
    EXPECT_EQ(o.FontName, "DejaVu Sans");
    EXPECT_EQ(o.FontSize, 20);
    EXPECT_EQ(o.FontStyle, fsItalic | fsUnderline);
    EXPECT_TRUE(o.OverwriteReadOnly);
    EXPECT_TRUE(o.Quiet);
}

TEST(MakeOptions, GridDegreesBecomeTheRadioIndex) {
    const std::vector<std::pair<std::string, int>> choices = {{"1", 0},  {"2", 1},  {"5", 2},  {"10", 3},
                                                              {"15", 4}, {"20", 5}, {"30", 6}, {"none", 7}};
    for (const auto& [degrees, index] : choices) EXPECT_EQ(Parse({"--grid", degrees}).Options.GridIndex, index);
}

TEST(MakeOptions, FontStyles) {
    EXPECT_EQ(Parse({"--font-style", "regular"}).Options.FontStyle, 0);
    EXPECT_EQ(Parse({"--font-style=bold,italic,underline,strikeout"}).Options.FontStyle, 15);
    EXPECT_EQ(Parse({"--font-style", "strikeout"}).Options.FontStyle, fsStrikeOut);
}

TEST(MakeOptions, LastRepeatWins) {
    EXPECT_EQ(Parse({"--grid", "5", "--grid", "30"}).Options.GridIndex, 6);
}

TEST(MakeOptions, HelpAndVersion) {
    EXPECT_EQ(Parse({"--help"}).Action, TMakeAction::Help);
    EXPECT_EQ(Parse({"--labels", "--version"}).Action, TMakeAction::Version);
    EXPECT_EQ(MakeVersion(), "gridloom-make 1.4.0.10");
    EXPECT_NE(MakeUsage().find("--overwrite-readonly"), std::string::npos);
}

TEST(MakeOptions, BadArgumentsGetOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"-x"},
        {"stray"},
        {"--grid"},
        {"--grid", "7"},
        {"--grid", "10.0"},
        {"--gridline-width", "abc"},
        {"--gridline-width", ""},
        {"--gridline-width", "1.5"},
        {"--gridline-width", "3x"},
        {"--gridline-width", "0"},
        {"--gridline-width", "101"},
        {"--boundary-width", "-1"},
        {"--boundary-width", "99999999999999999999"},
        {"--font-size", "0"},
        {"--font-size", "501"},
        {"--font-style", "bold,,italic"},
        {"--font-style", "Bold"},
        {"--font-style", ""},
        {"--labels=yes"},
        {"--out", ""},
        {"--data="},
        {"--font"},
    };
    for (const auto& args : bad) {
        TMakeCommand c = ParseMakeCommand(args);
        EXPECT_EQ(c.Action, TMakeAction::Error) << args[0];
        EXPECT_EQ(c.Error.rfind("gridloom-make: ", 0), 0u) << c.Error;
        EXPECT_EQ(c.Error.find('\n'), std::string::npos) << c.Error;
    }
}

TEST(MakeOptions, WidthLimitsAreInclusive) {
    EXPECT_EQ(Parse({"--gridline-width", "100"}).Options.GridlineWidth, 100);
    EXPECT_EQ(Parse({"--boundary-width", "1"}).Options.BoundaryWidth, 1);
    EXPECT_EQ(Parse({"--font-size", "500"}).Options.FontSize, 500);
}

}  // namespace
}  // namespace gridloom
