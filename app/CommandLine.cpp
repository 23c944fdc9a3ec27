#include "app/CommandLine.h"

#include "platform/OutputWritten.h"

namespace gridloom {

TWindowCommand ParseWindowCommand(const std::vector<std::string>& args) {
    TWindowCommand command;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            command.Action = TWindowAction::Help;
        } else if (arg == "--version") {
            if (command.Action != TWindowAction::Help) command.Action = TWindowAction::Version;
        } else {
            command.Action = TWindowAction::Error;
            command.Error = "gridloom: '" + arg + "' is not understood; gridloom takes no arguments (try --help)";
            return command;
        }
    }
    return command;
}

std::string WindowUsage() {
    return "Usage: gridloom [--help | --version]\n"
           "Opens the window that makes Skylune's master overlay: a 7920 x 3960 world map with a\n"
           "latitude and longitude grid, saved as an 8-bit BMP file.\n"
           "\n"
           "It reads Countries.dat from Skylune's folder and writes Overlay.bmp there, left\n"
           "read-only. Skylune's folder is found in the settings (the value \"Skylune\" under\n"
           "HKEY_CURRENT_USER\\Software\\Tarnwick\\App Paths); when it is not there, both files\n"
           "are in the folder gridloom is started in.\n"
           "\n" +
           SettingsPlaceText() +
           "\n"
           "The window needs a desktop. Without one, gridloom-make makes the same image from the\n"
           "command line, and gridloom-import builds Countries.dat from GeoJSON data.\n"
           "\n"
           "  --help      this text, then stop\n"
           "  --version   the version, then stop\n";
}

std::string WindowVersionLine(const std::string& fileVersion, const std::string& productName,
                              const std::string& releaseDate) {
    std::string line = "gridloom";
    if (!fileVersion.empty()) line += " " + fileVersion;
    std::string detail = productName;
    if (!releaseDate.empty()) detail += (detail.empty() ? "" : ", ") + releaseDate;
    if (!detail.empty()) line += " (" + detail + ")";
    return line;
}

std::string NoDesktopMessage() {
    return "gridloom: no desktop to open the window on (no display); gridloom-make makes the image without one";
}

int AnswerCommandLine(const TWindowCommand& command, bool desktop, const std::function<std::string()>& versionLine,
                      std::FILE* out, std::FILE* err) {
    switch (command.Action) {
    case TWindowAction::Help: std::fputs(WindowUsage().c_str(), out); return OutputWritten(out, err, "gridloom");
    case TWindowAction::Version:
        std::fprintf(out, "%s\n", versionLine().c_str());
        return OutputWritten(out, err, "gridloom");
    case TWindowAction::Error: std::fprintf(err, "%s\n", command.Error.c_str()); return BadArgumentStatus;
    case TWindowAction::OpenWindow: break;
    }
    if (desktop) return -1;
    std::fprintf(err, "%s\n", NoDesktopMessage().c_str());
    return NoDesktopStatus;
}

}  // namespace gridloom
