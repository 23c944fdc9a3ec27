// The Windows program: --help and --version answered as the Linux program answers them,
// then the main window and its About box, and the message loop until the window closes.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Desktop.h"
#include "app/windows/AboutBoxLink.h"
#include "app/windows/MainWindow.h"
#include "app/windows/MessageLoop.h"
#include "app/windows/OwnVersionLine.h"
#include "app/windows/WindowsApi.h"
#include "platform/ProgramName.h"
#include "settings/RegistryVariables.h"

namespace {

// A window program has no console of its own: answers go to the console of whoever
// started it, when the standard output is not already a file or a pipe.
void UseParentConsole() {
    if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr && GetStdHandle(STD_OUTPUT_HANDLE) != INVALID_HANDLE_VALUE) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!std::freopen("CONOUT$", "w", stdout)) return;
    if (!std::freopen("CONOUT$", "w", stderr)) return;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace gridloom;
    const std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    const TWindowCommand command = ParseWindowCommand(args);
    if (command.Action != TWindowAction::OpenWindow) UseParentConsole();
    if (const int status = AnswerCommandLine(command, DesktopAvailable(), OwnVersionLine, stdout, stderr); status >= 0)
        return status;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Where every setting lives depends on the program file's name; chosen before any
    // setting is read.
    ChooseRegistryLocation(ProgramFileName());

    auto window = std::make_unique<TMainWindow>(instance);
    if (!window->Handle()) return 1;
    // Made once, hidden, after the window; shown again at every "About".
    window->SetAboutBox(MakeAboutBox(instance));
    window->Show(showCommand);
    const int status = RunMessageLoop(window->Handle());
    window.reset();
    return status;
}
