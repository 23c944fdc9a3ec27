// Linux: the registry's files are moved into the test's folder through the environment.
#include <cstdlib>
#include <unistd.h>

#include "RegistrySandbox.h"
#include "platform/ProgramName.h"
#include "settings/RegistryVariables.h"

namespace gridloom::test {

namespace {

void Keep(const char* name, bool& had, std::string& saved) {
    const char* value = std::getenv(name);
    had = value != nullptr;
    saved = had ? value : "";
}

void Restore(const char* name, bool had, const std::string& saved) {
    if (had) {
        ::setenv(name, saved.c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

}  // namespace

unsigned ProcessNumber() { return unsigned(::getpid()); }

TRegistrySandbox::TRegistrySandbox() : FFolder(MakeTestFolder()) {
    Keep("XDG_CONFIG_HOME", FHadConfigHome, FSavedConfigHome);
    Keep("GRIDLOOM_MACHINE_REGISTRY", FHadMachine, FSavedMachine);
    ::setenv("XDG_CONFIG_HOME", (FFolder / "home").c_str(), 1);
    ::setenv("GRIDLOOM_MACHINE_REGISTRY", (FFolder / "etc" / "HKEY_LOCAL_MACHINE.reg").c_str(), 1);
    RegistryCompanyName = "Tarnwick";
    RegistryRootKey = HKEY_CURRENT_USER;
    SetProgramFileName("Gridloom");
}

TRegistrySandbox::~TRegistrySandbox() {
    Restore("XDG_CONFIG_HOME", FHadConfigHome, FSavedConfigHome);
    Restore("GRIDLOOM_MACHINE_REGISTRY", FHadMachine, FSavedMachine);
    RegistryCompanyName = "Tarnwick";
    RegistryRootKey = HKEY_CURRENT_USER;
    SetProgramFileName("");
    RemoveTestFolder(FFolder);
}

}  // namespace gridloom::test
