// The program: the main window and its About box, then the message loop until the window
// closes. No argument is read.
#include <QApplication>
#include <memory>

#include "about/HelpAboutBox.h"
#include "about/ProgramIcon.h"
#include "app/GridloomForm.h"
#include "platform/ProgramName.h"
#include "settings/RegistryVariables.h"

int main(int argc, char* argv[]) {
    using namespace gridloom;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Gridloom");
    QApplication::setApplicationDisplayName("Gridloom");
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
