// `gridloom` on the command line: --help and --version answer without a window, an
// argument it does not know is refused, and without a desktop it says so instead of
// letting the toolkit abort.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/CommandLine.h"

namespace gridloom {
namespace {

TEST(WindowCommand, ReadsHelpAndVersionAndRefusesTheRest) {
    EXPECT_EQ(ParseWindowCommand({}).Action, TWindowAction::OpenWindow);
    EXPECT_EQ(ParseWindowCommand({"--help"}).Action, TWindowAction::Help);
    EXPECT_EQ(ParseWindowCommand({"-h"}).Action, TWindowAction::Help);
    EXPECT_EQ(ParseWindowCommand({"--version"}).Action, TWindowAction::Version);
    EXPECT_EQ(ParseWindowCommand({"--version", "--help"}).Action, TWindowAction::Help);
    const TWindowCommand bad = ParseWindowCommand({"--help", "Countries.dat"});
    EXPECT_EQ(bad.Action, TWindowAction::Error);
    EXPECT_EQ(bad.Error, "gridloom: 'Countries.dat' is not understood; gridloom takes no arguments (try --help)");
}

TEST(WindowCommand, VersionLineLeavesOutWhatTheBlockLacks) {
    EXPECT_EQ(WindowVersionLine("1.4.0.10", "Skylune - Make master overlay", "2002 Apr 04"),
              "gridloom 1.4.0.10 (Skylune - Make master overlay, 2002 Apr 04)");
    EXPECT_EQ(WindowVersionLine("1.4.0.10", "", ""), "gridloom 1.4.0.10");
    EXPECT_EQ(WindowVersionLine("", "", "2002 Apr 04"), "gridloom (2002 Apr 04)");
}

TEST(WindowCommand, HelpOrVersionThatCannotBeWrittenFails) {
    for (TWindowAction action : {TWindowAction::Help, TWindowAction::Version}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        std::FILE* err = std::tmpfile();
        ASSERT_NE(full, nullptr);
        ASSERT_NE(err, nullptr);
        EXPECT_EQ(AnswerCommandLine(
                      {action, ""}, true, [] { return std::string("gridloom 1"); }, full, err),
                  1);
        std::fclose(full);
        std::rewind(err);
        char said[200] = {};
        EXPECT_STREQ(std::fgets(said, sizeof said, err),
                     "gridloom: cannot write the output: No space left on device\n");
        std::fclose(err);
    }
}

struct TProgramResult {
    std::string Out;
    std::string Err;
    int Status = -1;
};

// The built program as a user runs it, with `environment` (env arguments) before it.
TProgramResult RunGridloom(const std::string& environment, const std::string& arguments) {
    // ctest runs test cases side by side, each in a process of its own: one file each.
    const std::string err = ::testing::TempDir() + "gridloom-err-" + std::to_string(::getpid()) + ".txt";
    const std::string command =
        "env " + environment + " " + GRIDLOOM_BINARY_DIR + "/app/gridloom " + arguments + " 2>" + err + " </dev/null";
    TProgramResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[1024];
    std::size_t got;
    while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Out.append(buffer, got);
    const int status = pipe ? ::pclose(pipe) : -1;
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (std::FILE* f = std::fopen(err.c_str(), "r")) {
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) result.Err.append(buffer, got);
        std::fclose(f);
    }
    std::remove(err.c_str());
    return result;
}

// No display and no platform chosen: as on a server or over ssh without X forwarding.
const std::string NoDesktop = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

TEST(WindowProgram, HelpAndVersionNeedNoDesktop) {
    const TProgramResult help = RunGridloom(NoDesktop, "--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out, WindowUsage());
    EXPECT_EQ(help.Err, "");
    for (const char* says :
         {"Countries.dat", "Overlay.bmp", "HKEY_CURRENT_USER.reg", "gridloom-make", "gridloom-import"})
        EXPECT_NE(help.Out.find(says), std::string::npos) << says;

    // The version comes from the program's own version block, as the About box shows it.
    const TProgramResult version = RunGridloom(NoDesktop, "--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "gridloom 1.4.0.10 (Skylune - Make master overlay, 2002 Apr 04)\n");
}

TEST(WindowProgram, WithoutADesktopItSaysSoAndFails) {
    const TProgramResult result = RunGridloom(NoDesktop, "");
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, NoDesktopMessage() + "\n");
}

TEST(WindowProgram, AnArgumentItDoesNotKnowIsRefused) {
    const TProgramResult result = RunGridloom("QT_QPA_PLATFORM=offscreen", "--data Countries.dat");
    EXPECT_EQ(result.Status, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "gridloom: '--data' is not understood; gridloom takes no arguments (try --help)\n");
}

}  // namespace
}  // namespace gridloom
