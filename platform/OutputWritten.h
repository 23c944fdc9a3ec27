// Whether what a command-line program printed reached its reader.
#pragma once

#include <cstdio>

namespace gridloom {

// Flushes out. Text cut off by a full disk or a closed pipe is a failure: a script that
// saves --help or --version must not be told it succeeded. Returns 0 when everything
// reached out; otherwise says why on err, after "<program>: ", and returns 1.
int OutputWritten(std::FILE* out, std::FILE* err, const char* program);

}  // namespace gridloom
