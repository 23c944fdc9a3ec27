#include "platform/ProgramName.h"

#include "platform/ModuleFile.h"

namespace gridloom {

namespace {

std::string& FileNameOverride() {
    static std::string name;
    return name;
}

}  // namespace

std::string ProgramFileName() {
    if (!FileNameOverride().empty()) return FileNameOverride();
    const std::string path = ExecutableFileName();
    return path.substr(path.rfind('/') + 1);
}

void SetProgramFileName(const std::string& fileName) { FileNameOverride() = fileName; }

}  // namespace gridloom
