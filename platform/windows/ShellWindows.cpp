#include "platform/Shell.h"

#include "platform/windows/WinApi.h"
#include <shellapi.h>

namespace gridloom {

bool ShellOpen(const std::string& url) {
    if (!IsAcceptableUrl(url)) return false;
    // Values above 32 mean the shell took the address on.
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::string FindProgram(const std::string& program) {
    char found[MAX_PATH];
    const DWORD n = ::SearchPathA(nullptr, program.c_str(), ".exe", MAX_PATH, found, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(found, n) : std::string();
}

}  // namespace gridloom
