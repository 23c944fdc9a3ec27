// gridloom-make as a function: what main() runs, callable from the tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "run/GenerationRun.h"
#include "tools/make/MakeOptions.h"

namespace gridloom {

// The exit status for a run's outcome: 0 saved, 1 failed to draw or save, 2 no data.
int ExitStatusFor(TRunOutcome outcome);

// One generation run with the options; messages go to err. Returns the exit status.
int RunMake(const TMakeOptions& options, std::FILE* err, bool terminal, ISystemServices& services);

// The whole program: parses args (without the program name), prints help or version to
// out, errors and messages to err. Returns the exit status.
int MakeMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, bool terminal,
             ISystemServices& services);

}  // namespace gridloom
