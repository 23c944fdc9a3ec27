// Windows: the settings go to the system's registry, under a company key of the process's own
// that is removed before and after each test.
#include "RegistrySandbox.h"
#include "platform/ProgramName.h"
#include "platform/windows/WinApi.h"
#include "settings/RegistryVariables.h"

namespace gridloom::test {

namespace {

std::string TestCompany() { return "Tarnwick tests " + std::to_string(ProcessNumber()); }

void RemoveTestKeys() {
    const std::string key = "Software\\" + TestCompany();
    ::RegDeleteTreeA(reinterpret_cast<::HKEY>(ULONG_PTR(LONG(HKEY_CURRENT_USER))), key.c_str());
}

}  // namespace

unsigned ProcessNumber() { return unsigned(::GetCurrentProcessId()); }

TRegistrySandbox::TRegistrySandbox() : FFolder(MakeTestFolder()) {
    RemoveTestKeys();
    RegistryCompanyName = TestCompany();
    RegistryRootKey = HKEY_CURRENT_USER;
    SetProgramFileName("Gridloom.exe");
}

TRegistrySandbox::~TRegistrySandbox() {
    RemoveTestKeys();
    RegistryCompanyName = "Tarnwick";
    RegistryRootKey = HKEY_CURRENT_USER;
    SetProgramFileName("");
    RemoveTestFolder(FFolder);
}

}  // namespace gridloom::test
