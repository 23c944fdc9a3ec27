#include "tools/make/MakeCommand.h"

#include "platform/OutputWritten.h"
#include "tools/make/ConsoleHost.h"

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

int MakeMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, bool terminal,
             ISystemServices& services) {
    const TMakeCommand command = ParseMakeCommand(args);
    switch (command.Action) {
    case TMakeAction::Help: std::fputs(MakeUsage().c_str(), out); return OutputWritten(out, err, "gridloom-make");
    case TMakeAction::Version:
        std::fprintf(out, "%s\n", MakeVersion().c_str());
        return OutputWritten(out, err, "gridloom-make");
    case TMakeAction::Error: std::fprintf(err, "%s\n", command.Error.c_str()); return 2;
    case TMakeAction::Run: break;
    }
    return RunMake(command.Options, err, terminal, services);
}

}  // namespace gridloom
