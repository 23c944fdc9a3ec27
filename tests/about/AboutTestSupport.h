// What the component and About box tests share: a Qt application for the widgets, and
// program files carrying blocks described in the test.
#pragma once

#include <QApplication>
#include <string>

#include "platform/VersionBlock.h"
#include "tests/platform/TempFolder.h"
#include "tests/platform/VersionFiles.h"

namespace gridloom::test {

inline void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "gridloom_about_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the input devices the mouse events create are torn down by Qt's own
    // exit handlers, and a QApplication destroyed after them would crash at exit.
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

// A folder of program files made from descriptions.
class TProgramFiles {
public:
    // Writes an ELF program file carrying d's block and gives its path.
    QString Write(const std::string& name, const TVersionDescription& d) {
        WriteBytes(FFolder / name, ElfFile(BuildVersionBlock(d)));
        return QString::fromStdString(FFolder / name);
    }
    QString WriteWithoutBlock(const std::string& name) {
        WriteBytes(FFolder / name, {'n', 'o', 'n', 'e'});
        return QString::fromStdString(FFolder / name);
    }

private:
    TTempFolder FFolder;
};

// ProgramLikeDescription with one string value replaced (or added).
inline TVersionDescription WithString(TVersionDescription d, const std::string& key, const std::string& value) {
    for (auto& [k, v] : d.Strings)
        if (k == key) {
            v = value;
            return d;
        }
    d.Strings.emplace_back(key, value);
    return d;
}

}  // namespace gridloom::test
