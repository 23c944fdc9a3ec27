// gridloom-make: makes the master overlay without a window. See MakeOptions.cpp for usage.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/SystemServices.h"
#include "tools/make/MakeCommand.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return gridloom::MakeMain(args, stdout, stderr, ::isatty(STDERR_FILENO) == 1, gridloom::SystemServices());
}
