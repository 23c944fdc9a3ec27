#include "platform/OutputWritten.h"

#include <cerrno>
#include <cstring>

namespace gridloom {

int OutputWritten(std::FILE* out, std::FILE* err, const char* program) {
    if (std::fflush(out) == 0 && std::ferror(out) == 0) return 0;
    const int error = errno;
    std::fprintf(err, "%s: cannot write the output: %s\n", program, std::strerror(error));
    return 1;
}

}  // namespace gridloom
