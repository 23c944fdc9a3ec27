#include "tools/make/MakeCommand.h"

#include "tools/make/ConsoleHost.h"

#include <cerrno>
#include <cstring>

namespace gridloom {

int ExitStatusFor(TRunOutcome outcome) {
    switch (outcome) {
    case TRunOutcome::Saved: return 0;
    case TRunOutcome::DataMissing: return 2;
    default: return 1;
    }
}

int RunMake(const TMakeOptions& options, std::FILE* err, bool terminal, ISystemServices& services) {
    TConsoleHost host(options, err, terminal);
    TGenerationRun run(host, host, host, services);
    run.SetRejectDamagedData(options.Strict);
    const TRunOutcome outcome = run.MakeMasterImage(options.OutputPath);
    // The run's message says what failed; the detail says why (permissions, disk full...).
    if (outcome != TRunOutcome::Saved && !run.LastError().empty()) host.Error("gridloom-make: " + run.LastError());
    return ExitStatusFor(outcome);
}

namespace {

// Text that never reached its reader, cut off by a full disk or a closed pipe, is a
// failure: a script that saves --help or --version must not be told it succeeded.
int Written(std::FILE* out, std::FILE* err) {
    if (std::fflush(out) == 0 && std::ferror(out) == 0) return 0;
    const int error = errno;
    std::fprintf(err, "gridloom-make: cannot write the output: %s\n", std::strerror(error));
    return 1;
}

}  // namespace

int MakeMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, bool terminal,
             ISystemServices& services) {
    const TMakeCommand command = ParseMakeCommand(args);
    switch (command.Action) {
    case TMakeAction::Help: std::fputs(MakeUsage().c_str(), out); return Written(out, err);
    case TMakeAction::Version: std::fprintf(out, "%s\n", MakeVersion().c_str()); return Written(out, err);
    case TMakeAction::Error: std::fprintf(err, "%s\n", command.Error.c_str()); return 2;
    case TMakeAction::Run: break;
    }
    return RunMake(command.Options, err, terminal, services);
}

}  // namespace gridloom
