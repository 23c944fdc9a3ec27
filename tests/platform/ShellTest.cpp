#include "platform/Shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "TempFolder.h"

namespace gridloom {
namespace {

// Puts a stand-in xdg-open first on PATH for the life of the object.
class TFakeOpener {
public:
    explicit TFakeOpener(const test::TTempFolder& folder) : FRecord(folder / "opened.txt") {
        const char* old = std::getenv("PATH");
        FOldPath = old ? old : "";
        std::string script = folder / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << FRecord << ".tmp'\n"
                              << "mv '" << FRecord << ".tmp' '" << FRecord << "'\n";
        ::chmod(script.c_str(), 0755);
        ::setenv("PATH", (folder.Path() + ":" + FOldPath).c_str(), 1);
    }
    ~TFakeOpener() { ::setenv("PATH", FOldPath.c_str(), 1); }

    // What the opener was given: "<argument count>|<first argument>"; empty if it never ran.
    std::string WaitForRecord() const {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(FRecord);
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

private:
    std::string FRecord;
    std::string FOldPath;
};

TEST(ShellOpen, HandsTheAddressOverAsOneUninterpretedArgument) {
    test::TTempFolder folder;
    TFakeOpener opener(folder);
    const std::string url = "http://www.example/a b?x=1&y=$(touch " + (folder / "pwned") + ");`id`'\"";
    ASSERT_TRUE(ShellOpen(url));
    EXPECT_EQ(opener.WaitForRecord(), "1|" + url);
    EXPECT_NE(::access((folder / "pwned").c_str(), F_OK), 0);
}

TEST(ShellOpen, RefusesAddressesTheOpenerWouldMisread) {
    test::TTempFolder folder;
    TFakeOpener opener(folder);
    EXPECT_FALSE(ShellOpen(""));
    EXPECT_FALSE(ShellOpen("--help"));
    EXPECT_FALSE(ShellOpen("http://x/\nsecond"));
    EXPECT_FALSE(ShellOpen(std::string("http://x/\0y", 11)));
}

TEST(ShellOpen, MissingOpenerFailsQuietly) {
    const char* old = std::getenv("PATH");
    std::string saved = old ? old : "";
    test::TTempFolder empty;
    ::setenv("PATH", empty.Path().c_str(), 1);
    EXPECT_FALSE(ShellOpen("http://www.example/"));
    EXPECT_EQ(FindProgram("xdg-open"), "");
    ::setenv("PATH", saved.c_str(), 1);
}

TEST(FindProgram, SearchesPathAndAcceptsExplicitPaths) {
    EXPECT_NE(FindProgram("sh"), "");
    EXPECT_EQ(FindProgram("/bin/sh"), "/bin/sh");
    EXPECT_EQ(FindProgram("/no/such/program"), "");
    EXPECT_EQ(FindProgram(""), "");
}

}  // namespace
}  // namespace gridloom
