#include "platform/ProgramName.h"

#include <climits>
#include <string_view>
#include <unistd.h>

namespace gridloom {

namespace {

std::string& FileNameOverride() {
    static std::string name;
    return name;
}

}  // namespace

std::string ProgramFileName() {
    if (!FileNameOverride().empty()) return FileNameOverride();
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer) return {};
    std::string path(buffer, size_t(length));
    // A program whose file was replaced while it ran (an update) still goes by its name.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
    return path.substr(path.rfind('/') + 1);
}

void SetProgramFileName(const std::string& fileName) { FileNameOverride() = fileName; }

}  // namespace gridloom
