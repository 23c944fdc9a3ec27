// What the component and About box tests share: a Qt application for the widgets, and
// program files carrying blocks described in the test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "platform/VersionBlock.h"
#include "tests/platform/TempFolder.h"
#include "tests/platform/VersionFiles.h"

namespace gridloom::test {

// The application the widgets need, made before the first test and destroyed after the
// last, while Qt's own globals (the input devices the mouse events create among them) are
// still alive: destroyed later, at exit, it would crash.
class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() != nullptr) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        FApplication = std::make_unique<QApplication>(FArgc, FArgv);
    }
    void TearDown() override { FApplication.reset(); }

private:
    int FArgc = 1;
    char FName[21] = "gridloom_about_tests";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApplication;
};

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
