#include "platform/Shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace gridloom {

std::string FindProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // An empty entry means the current folder.
        std::string candidate = end == start ? std::string("./") : dirs.substr(start, end - start) + "/";
        candidate += program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

bool ShellOpen(const std::string& url) {
    if (!IsAcceptableUrl(url)) return false;
    // Everything the children need is prepared here: between fork and exec only
    // async-signal-safe calls are allowed, as the caller may have other threads.
    const std::string opener = FindProgram("xdg-open");
    if (opener.empty()) return false;
    char* const argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(url.c_str()), nullptr};

    // Double fork: the middle child exits at once, so the opener is adopted by init and
    // never becomes a zombie of ours, and the only wait is for that immediate exit.
    const pid_t middle = ::fork();
    if (middle < 0) return false;
    if (middle == 0) {
        const pid_t opener_pid = ::fork();
        if (opener_pid == 0) {
            ::setsid();
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
                if (null > 2) ::close(null);
            }
            ::execv(argv[0], argv);
            ::_exit(127);
        }
        ::_exit(opener_pid < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace gridloom
