#include "tools/make/MakeOptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

#include "render/GridIntervals.h"

namespace gridloom {
namespace {

TMakeCommand Parse(std::vector<std::string> args) { return ParseMakeCommand(args); }

void ExpectOptions(const std::vector<std::string>& args, const TMakeOptions& expected) {
    TMakeCommand c = Parse(args);
    ASSERT_EQ(c.Action, TMakeAction::Run) << c.Error;
    const TMakeOptions& o = c.Options;
    EXPECT_EQ(o.DataPath, expected.DataPath);
    EXPECT_EQ(o.OutputPath, expected.OutputPath);
    EXPECT_EQ(o.GridIndex, expected.GridIndex);
    EXPECT_EQ(o.Labels, expected.Labels);
    EXPECT_EQ(o.GridOnTop, expected.GridOnTop);
    EXPECT_EQ(o.ShowBoundaries, expected.ShowBoundaries);
    EXPECT_EQ(o.GridlineWidth, expected.GridlineWidth);
    EXPECT_EQ(o.BoundaryWidth, expected.BoundaryWidth);
    EXPECT_EQ(o.FontName, expected.FontName);
    EXPECT_EQ(o.FontSize, expected.FontSize);
    EXPECT_EQ(o.FontStyle, expected.FontStyle);
    EXPECT_EQ(o.OverwriteReadOnly, expected.OverwriteReadOnly);
    EXPECT_EQ(o.Quiet, expected.Quiet);
    EXPECT_EQ(o.Strict, expected.Strict);
}

TEST(MakeOptions, DefaultsAreTheWindowsFirstStart) {
    ExpectOptions(
        {}, {"Countries.dat", "Overlay.bmp", 3, false, false, true, 1, 1, "Arial", 11, fsBold, false, false, false});
}

TEST(MakeOptions, EveryOptionReachesItsField) {
    ExpectOptions(
        {"--data",
         "in.dat",
         "--out=out.bmp",
         "--grid",
         "none",
         "--labels",
         "--grid-on-top",
         "--hide-boundaries",
         "--gridline-width",
         "5",
         "--boundary-width=+3",
         "--font",
         "DejaVu Sans",
         "--font-size",
         "20",
         "--font-style",
         "italic,underline",
         "--overwrite-readonly",
         "--quiet",
         "--strict"},
        {"in.dat", "out.bmp", 7, true, true, false, 5, 3, "DejaVu Sans", 20, fsItalic | fsUnderline, true, true, true});
}

TEST(MakeOptions, SingleValues) {
    const std::vector<std::pair<std::string, int>> grid = {{"1", 0},  {"2", 1},  {"5", 2},  {"10", 3},
                                                           {"15", 4}, {"20", 5}, {"30", 6}, {"none", 7}};
    for (const auto& [degrees, index] : grid) EXPECT_EQ(Parse({"--grid", degrees}).Options.GridIndex, index) << degrees;
    EXPECT_EQ(Parse({"--grid", "5", "--grid", "30"}).Options.GridIndex, 6);  // the last repeat wins

    EXPECT_EQ(Parse({"--font-style", "regular"}).Options.FontStyle, 0);
    EXPECT_EQ(Parse({"--font-style=bold,italic,underline,strikeout"}).Options.FontStyle, 15);
    EXPECT_EQ(Parse({"--font-style", "strikeout"}).Options.FontStyle, fsStrikeOut);

    // The limits are inclusive.
    EXPECT_EQ(Parse({"--gridline-width", "100"}).Options.GridlineWidth, 100);
    EXPECT_EQ(Parse({"--boundary-width", "1"}).Options.BoundaryWidth, 1);
    EXPECT_EQ(Parse({"--font-size", "500"}).Options.FontSize, 500);
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
        EXPECT_EQ(c.Action, TMakeAction::Error) << ::testing::PrintToString(args);
        EXPECT_EQ(c.Error.rfind("gridloom-make: ", 0), 0u) << c.Error;
        EXPECT_EQ(c.Error.find('\n'), std::string::npos) << c.Error;
    }
}

// The long options a text names ("--data", "--font-size", ...).
std::set<std::string> OptionsNamedIn(const std::string& text) {
    std::set<std::string> names;
    const std::regex option("--[a-z][a-z-]*[a-z]");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        names.insert(it->str());
    return names;
}

// The manual page documents every option --help lists, and no other.
TEST(MakeOptions, TheManualPageHasEveryOptionOfHelp) {
    std::ifstream file(std::string(GRIDLOOM_SOURCE_DIR) + "/packaging/man/gridloom-make.1.in");
    ASSERT_TRUE(file) << "no manual page";
    std::stringstream page;
    page << file.rdbuf();
    // In troff a hyphen is written "\-".
    const std::string text = std::regex_replace(page.str(), std::regex(R"(\\-)"), "-");
    const std::set<std::string> help = OptionsNamedIn(MakeUsage());
    EXPECT_EQ(help.size(), 16u);
    EXPECT_EQ(OptionsNamedIn(text), help);
}

// The README and the man page list the intervals by hand; they must say what the table says.
TEST(MakeOptions, TheDocumentsListTheIntervalsOfTheTable) {
    auto read = [](const std::string& name) {
        std::ifstream in(std::string(GRIDLOOM_SOURCE_DIR) + "/" + name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // "[--grid 1|2|...|none]" and "1, 2, ..., 30 degrees, none"
    std::string synopsis = "[--grid ", degrees;
    for (const TGridInterval& interval : GridIntervals) {
        const bool last = interval.RadioIndex + 1 == int(GridIntervals.size());
        synopsis += std::string(interval.Word) + (last ? "]" : "|");
        if (interval.Degrees != 0) degrees += (degrees.empty() ? "" : ", ") + std::to_string(interval.Degrees);
    }
    const std::string defaultWord(GridIntervals[FirstStart::GridIndex].Word);
    const std::string readme = read("README.md");
    EXPECT_NE(readme.find(synopsis), std::string::npos) << synopsis;
    const std::string stored = "grid interval choice 0-" + std::to_string(GridIntervals.size() - 1) + ": " + degrees +
                               " degrees, none (default " + std::to_string(FirstStart::GridIndex) + ")";
    EXPECT_NE(readme.find(stored), std::string::npos) << stored;
    const std::string manual = GridIntervalWords() + " (default " + defaultWord + ")";
    EXPECT_NE(read("packaging/man/gridloom-make.1.in").find(manual), std::string::npos) << manual;
    EXPECT_NE(MakeUsage().find(manual), std::string::npos);
}

}  // namespace
}  // namespace gridloom
