// The program: the main window and its About box, then the message loop until the window
// closes. The command line only answers --help and --version; the window takes no options.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "about/HelpAboutBox.h"
#include "about/ProgramIcon.h"
#include "about/VersionValues.h"
#include "app/CommandLine.h"
#include "app/Desktop.h"
#include "app/GridloomForm.h"
#include "platform/ProgramName.h"
#include "settings/RegistryVariables.h"

namespace {

// The version as the About box shows it: read from the program's own version block.
std::string OwnVersionLine() {
    const gridloom::TAboutValues values = gridloom::ReadOwnAboutValues();
    return gridloom::WindowVersionLine(values.FileVersion, values.ProductName, values.Comments);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace gridloom;
    const TWindowCommand command = ParseWindowCommand(std::vector<std::string>(argv + 1, argv + argc));
    if (const int status = AnswerCommandLine(command, DesktopAvailable(), OwnVersionLine, stdout, stderr); status >= 0)
        return status;

    QApplication application(argc, argv);
    // Only the name: a display name set here would be added to every window's title.
    QApplication::setApplicationName("Gridloom");
    QApplication::setWindowIcon(GridloomIcon());
    // Where every setting lives depends on the program file's name; chosen before any
    // setting is read.
    ChooseRegistryLocation(ProgramFileName());

    auto form = std::make_unique<TFormMain>();
    // Made once, hidden; it reads the program's version block now and is shown again at
    // every "About".
    auto aboutBox = std::make_unique<TAboutBoxMOX1>();
    form->SetAboutBox(aboutBox.get());
    form->show();
    const int status = QApplication::exec();
    // Destroying the window stores the settings.
    form.reset();
    return status;
}
