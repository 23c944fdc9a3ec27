#include "platform/Shell.h"

namespace gridloom {

bool IsAcceptableUrl(const std::string& url) {
    if (url.empty() || url.front() == '-') return false;
    for (unsigned char c : url)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace gridloom
