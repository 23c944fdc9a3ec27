// What `gridloom` does with its command line. The window takes no options; --help and
// --version answer on standard output without opening it, and anything else is refused
// before the toolkit starts (the toolkit would otherwise open the window regardless, or
// abort without a display).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace gridloom {

enum class TWindowAction { OpenWindow, Help, Version, Error };

struct TWindowCommand {
    TWindowAction Action = TWindowAction::OpenWindow;
    std::string Error;  // the one-line message for Error
};

// args without the program name.
TWindowCommand ParseWindowCommand(const std::vector<std::string>& args);

// The usage text for --help: what the program does, what it reads and writes, where its
// settings are, and the two programs that work without a window.
std::string WindowUsage();

// Where the settings are kept, as --help says it: each system's own sentence (a settings
// file here, the registry on Windows), ending with a line break.
std::string SettingsPlaceText();

// The line printed by --version from the values of a version block: "gridloom <file
// version> (<product name>, <release date>)", leaving out what is empty.
std::string WindowVersionLine(const std::string& fileVersion, const std::string& productName,
                              const std::string& releaseDate);

// The line printed when no desktop can be reached.
std::string NoDesktopMessage();

// Exit statuses: 0 for --help and --version, 1 without a desktop, 2 for an argument that
// is not understood.
inline constexpr int NoDesktopStatus = 1;
inline constexpr int BadArgumentStatus = 2;

// Runs the command-line part of the program: answers --help, --version, a bad argument or
// a missing desktop, writing to out or err, and returns the exit status; returns -1 when
// the window is to be opened. versionLine is asked for only by --version.
int AnswerCommandLine(const TWindowCommand& command, bool desktop, const std::function<std::string()>& versionLine,
                      std::FILE* out, std::FILE* err);

}  // namespace gridloom
