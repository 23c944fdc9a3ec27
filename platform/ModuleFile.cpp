#include "platform/ModuleFile.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace gridloom {

namespace {

// The module's path as the loader knows it: absolute for libraries, but for the program
// itself the name it was started with (argv[0]), which may be a bare name or even another
// file's path; the program's own map is the one without a name, and for it the
// executable is asked for directly.
std::string ModulePath(const void* address) {
    Dl_info info{};
    link_map* map = nullptr;
    if (address == nullptr || ::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        info.dli_fname == nullptr)
        return {};
    if (map != nullptr && map->l_name != nullptr && map->l_name[0] == 0) return ExecutableFileName();
    std::string path = info.dli_fname;
    if (path.empty() || path.find('/') == std::string::npos) return ExecutableFileName();
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return a == b;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

std::string ExecutableFileName() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    // A path that fills the buffer may have been cut short, and would name another file.
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return {};
    std::string path(buffer, static_cast<std::size_t>(n));
    // A program whose file was replaced while it ran (an update) still goes by its name.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
    return path;
}

std::string ExecutableOpenName() { return "/proc/self/exe"; }

uint32_t GetModuleFileNameA(const void* address, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    std::string path = ModulePath(address);
    std::size_t n = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = 0;
    return static_cast<uint32_t>(n);
}

bool IsInsideLibrary(const void* address) {
    std::string module = ModulePath(address);
    return !module.empty() && !SameFile(module, ExecutableFileName());
}

}  // namespace gridloom
