// The program: the main window and its About box, then the message loop until the window
// closes. No argument is read.
#include <QApplication>

#include "app/GridloomForm.h"
#include "platform/ProgramName.h"
#include "settings/RegistryVariables.h"

int main(int argc, char* argv[]) {
    using namespace gridloom;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Gridloom");
    QApplication::setApplicationDisplayName("Gridloom");
    // Where every setting lives depends on the program file's name; chosen before any
    // setting is read.
    ChooseRegistryLocation(ProgramFileName());

    auto* form = new TFormMain;
    form->show();
    const int status = QApplication::exec();
    // Destroying the window stores the settings.
    delete form;
    return status;
}
