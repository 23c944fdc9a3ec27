#include "platform/ProgramName.h"

#include "platform/ModuleFile.h"
#include "platform/RegistryDocument.h"  // SameName

namespace gridloom {

namespace {

// Windows takes either slash; a POSIX file name never holds a backslash in practice.
constexpr const char* FolderSeparators = "/\\";

std::string& FileNameOverride() {
    static std::string name;
    return name;
}

}  // namespace

std::string ProgramFileName() {
    if (!FileNameOverride().empty()) return FileNameOverride();
    const std::string path = ExecutableFileName();
    std::string name = path.substr(path.find_last_of(FolderSeparators) + 1);
    // A Windows program's file ends in ".exe", which is no part of the program's name.
    if (name.size() > 4 && SameName(name.substr(name.size() - 4), ".exe")) name.resize(name.size() - 4);
    return name;
}

void SetProgramFileName(const std::string& fileName) { FileNameOverride() = fileName; }

}  // namespace gridloom
