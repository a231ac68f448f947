
#include <CLI/CLI.hpp>

#include <csignal>

#include "cli/command_guess.h"
#include "cli/commands.h"
#include "version.h"

int main(int argc, char** argv) {
    // Output piped into a program that stops reading (head) must not end the tool: a
    // write then fails instead. Chip commands turn the signal into Cancel on top.
    std::signal(SIGPIPE, SIG_IGN);
    CLI::App app{"Merlinox: drives the parallel-port programmer board for Atmel AVR chips"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "kestrel-cli (Merlinox) " KESTREL_VERSION_STRING);
    // Global options such as --yes may follow the subcommand: the subcommands created
    // below inherit this and hand options they do not know to the tool itself.
    app.fallthrough();
    merlinox::cli::GlobalOptions options;
    merlinox::cli::AddGlobalOptions(app, options);

    merlinox::cli::AddDevicesCommand(app, options);
    merlinox::cli::AddDetectCommand(app, options);
    merlinox::cli::AddResetCommand(app, options);
    merlinox::cli::AddConvertCommand(app, options);
    merlinox::cli::AddBlankCheckCommand(app, options);
    merlinox::cli::AddReadCommand(app, options);
    merlinox::cli::AddProgramCommand(app, options);
    merlinox::cli::AddVerifyCommand(app, options);
    merlinox::cli::AddEraseCommand(app, options);
    merlinox::cli::AddFusesCommand(app, options);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // A slip in the command's name reads better as a guess than as CLI11's verdict
        // on the extra word.
        if (merlinox::cli::ReportMistypedCommand(app, argc, argv, stderr)) {
            return static_cast<int>(CLI::ExitCodes::ExtrasError);
        }
        return app.exit(error);
    }
    return options.exitStatus;
}
