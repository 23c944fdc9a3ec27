// A registry and a folder of the test's own for the length of one test, so that tests never
// touch the settings of the user running them and start from nothing stored.
//
// On Linux the settings files are moved into a fresh temporary folder. On Windows, where the
// registry is the system's, the settings live under a company key named after the test's
// process ("Tarnwick tests <pid>"), which is removed again afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace gridloom::test {

class TRegistrySandbox {
public:
    TRegistrySandbox();
    ~TRegistrySandbox();
    TRegistrySandbox(const TRegistrySandbox&) = delete;
    TRegistrySandbox& operator=(const TRegistrySandbox&) = delete;

    // A fresh, empty folder, removed with everything in it (read-only files too).
    const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
    std::string FSavedConfigHome, FSavedMachine;
    bool FHadConfigHome = false, FHadMachine = false;
};

// A number told apart from every other test process running now.
unsigned ProcessNumber();

// Makes a fresh folder under the system's temporary folder.
std::filesystem::path MakeTestFolder();
// Removes a folder made by MakeTestFolder, with what the tests left in it.
void RemoveTestFolder(const std::filesystem::path& folder);

}  // namespace gridloom::test
