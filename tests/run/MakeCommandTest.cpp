// gridloom-make end to end: the options, the console stand-in for the window, exit status.
#include "tools/make/MakeCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

#include "RunFakes.h"
#include "platform/OwnVersion.h"

namespace gridloom {
namespace {

using test::ModeOf;
using test::ReadFile;
using test::WriteFile;

// Captures what the program writes to a stream.
class TCapture {
public:
    TCapture() : FFile(std::tmpfile()) {}
    ~TCapture() { std::fclose(FFile); }
    std::FILE* File() { return FFile; }
    std::string Text() {
        std::fflush(FFile);
        std::rewind(FFile);
        std::string text;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, FFile)) > 0) text.append(buffer, got);
        return text;
    }

private:
    std::FILE* FFile;
};

class MakeCommand : public ::testing::Test {
protected:
    void SetUp() override {
        Data = Folder / "Countries.dat";
        Out = Folder / "Overlay.bmp";
        WriteFile(Data, test::SmallCountries());
    }
    int Make(std::vector<std::string> args, bool terminal = false) {
        return MakeMain(args, Stdout.File(), Stderr.File(), terminal, Services);
    }
    bool Has(const std::string& text) { return Stderr.Text().find(text) != std::string::npos; }

    test::TTempFolder Folder;
    std::string Data, Out;
    test::TFakeServices Services;
    TCapture Stdout, Stderr;
};

TEST_F(MakeCommand, MakesAReadOnlyImage) {
    EXPECT_EQ(Make({"--data", Data, "--out", Out}), 0);
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(Out)));
    EXPECT_TRUE(Has("Overlay master image, generating country bondaries\n"));
    EXPECT_TRUE(Has("Overlay master image saved to " + Out + "\n"));
    EXPECT_EQ(Stdout.Text(), "");
}

TEST_F(MakeCommand, QuietPrintsNothingOnSuccess) {
    Services.MemoryMB = 1;  // the low-memory warning is no error either
    EXPECT_EQ(Make({"--data", Data, "--out", Out, "--quiet"}), 0);
    EXPECT_EQ(Stderr.Text(), "");
}

TEST_F(MakeCommand, MissingDataOffersTheDownloadOpensNothingAndExits2) {
    EXPECT_EQ(Make({"--data", Folder / "absent.dat", "--out", Out, "--quiet"}), 2);
    EXPECT_TRUE(Has("Skylune - Country and State boundary data missing\nGridloom cannot find the file " +
                    (Folder / "absent.dat") + "!\nWould you like to download"));
    EXPECT_TRUE(Has("\n\nhttp://www.tarnwick.example/software/countries.zip (size 459KB)\n"));
    EXPECT_TRUE(Services.Opened.empty());
    EXPECT_EQ(ModeOf(Out), mode_t(-1));
}

TEST_F(MakeCommand, LowMemoryWarnsAndCarriesOn) {
    Services.MemoryMB = 2;
    EXPECT_EQ(Make({"--data", Data, "--out", Out}), 0);
    EXPECT_TRUE(Has("Less than 6 MB physical memory available (2 MB found)."));
    EXPECT_TRUE(Has("\n\nOK to continue to generate the master overlay, or cancel?"));
}

TEST_F(MakeCommand, ReadOnlyOutputFailsUnlessOverwriteIsGiven) {
    WriteFile(Out, "old");
    ASSERT_EQ(::chmod(Out.c_str(), 0444), 0);
    EXPECT_EQ(Make({"--data", Data, "--out", Out, "--quiet"}), 1);
    EXPECT_EQ(ReadFile(Out), "old");
    EXPECT_TRUE(Has("Do you wish to overwrite the existing read-only file?"));
    EXPECT_TRUE(Has("is read-only."));

    EXPECT_EQ(Make({"--data", Data, "--out", Out, "--overwrite-readonly"}), 0);
    EXPECT_NE(ReadFile(Out), "old");
    EXPECT_EQ(ModeOf(Out), mode_t(0444));
}

TEST_F(MakeCommand, FailedSaveExits1WithTheReason) {
    const std::string out = Folder / "absent/Overlay.bmp";
    EXPECT_EQ(Make({"--data", Data, "--out", out, "--quiet"}), 1);
    EXPECT_TRUE(Has(SaveErrorText(out) + "\n"));
    EXPECT_TRUE(Has("gridloom-make: Cannot create a new file"));
}

// An output that is not a regular file, even behind a link, is refused and left as it is:
// as root, --out /dev/null used to replace the device with an image.
TEST_F(MakeCommand, OutputThatIsNotAFileIsRefusedUntouched) {
    const std::string pipe = Folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    const std::string link = Folder / "Overlay.bmp";
    ASSERT_EQ(::symlink("pipe", link.c_str()), 0);
    EXPECT_EQ(Make({"--data", Data, "--out", link, "--quiet", "--overwrite-readonly"}), 1);
    EXPECT_TRUE(Has("gridloom-make: The file \"" + link + "\" is a pipe, not a regular file; nothing was written."));
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(MakeCommand, ProgressBarOnlyOnATerminal) {
    // Enough segments for the bar to move.
    std::string data;
    for (int i = 0; i < 200; ++i) test::AppendRecord(data, 1, {{int16_t(i * 10), 0}, {int16_t(i * 10), 600}});
    WriteFile(Data, data);
    EXPECT_EQ(Make({"--data", Data, "--out", Out}, true), 0);
    const std::string terminal = Stderr.Text();
    EXPECT_NE(terminal.find("] 50%"), std::string::npos);
    // The bar is wiped before the next status line.
    EXPECT_NE(terminal.find("\rOverlay master image, saving image"), std::string::npos);

    TCapture plain;
    ASSERT_EQ(::chmod(Out.c_str(), 0644), 0);
    EXPECT_EQ(MakeMain({"--data", Data, "--out", Out}, Stdout.File(), plain.File(), false, Services), 0);
    EXPECT_EQ(plain.Text().find('%'), std::string::npos);
    EXPECT_EQ(plain.Text().find('\r'), std::string::npos);
}

TEST_F(MakeCommand, HelpVersionAndBadOptions) {
    EXPECT_EQ(Make({"--help"}), 0);
    EXPECT_NE(Stdout.Text().find("Usage: gridloom-make"), std::string::npos);
    EXPECT_EQ(Make({"--gridline-width", "0"}), 2);
    EXPECT_EQ(Stderr.Text(), "gridloom-make: --gridline-width must lie in 1..100, not 0 (try --help)\n");
}

// Help or version text that cannot be written is a failure, not a success.
TEST_F(MakeCommand, HelpOrVersionThatCannotBeWrittenFails) {
    for (const char* option : {"--help", "--version"}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        EXPECT_EQ(MakeMain({option}, full, Stderr.File(), false, Services), 1) << option;
        std::fclose(full);
        EXPECT_TRUE(Has("gridloom-make: cannot write the output: No space left on device\n")) << option;
    }
}

// The built program itself, as a user runs it.
std::string RunProgram(const std::string& arguments, int& status) {
    const std::string command = std::string(GRIDLOOM_BINARY_DIR) + "/tools/gridloom-make " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string text;
    char buffer[1024];
    std::size_t got;
    while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    status = pipe ? ::pclose(pipe) : -1;
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

// The program's version is the one its file carries, read back through the version API.
TEST(MakeProgram, VersionIsTheFilesOwn) {
    EXPECT_EQ(FileVersionOf(std::string(GRIDLOOM_BINARY_DIR) + "/tools/gridloom-make"), "1.4.0.10");
    EXPECT_EQ(FileVersionOf(std::string(GRIDLOOM_SOURCE_DIR) + "/README.md"), "");
}

TEST(MakeProgram, VersionAndExitStatus) {
    int status = -1;
    EXPECT_EQ(RunProgram("--version", status), "gridloom-make 1.4.0.10\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunProgram("--bogus", status), "gridloom-make: unknown option '--bogus' (try --help)\n");
    EXPECT_EQ(status, 2);
    test::TTempFolder folder;
    RunProgram("--quiet --data " + (folder / "none.dat") + " --out " + (folder / "o.bmp"), status);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace gridloom
