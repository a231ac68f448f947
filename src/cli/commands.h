#pragma once
#include <string>

#include "cli/board_setup.h"

namespace CLI {
class App;
}

namespace merlinox::cli {

// Options every subcommand shares; they may stand before or after the subcommand. A
// subcommand stores its result in exitStatus: 0 on success, otherwise the operation's
// result code.
struct GlobalOptions {
    bool yes = false;             // answer OK and Retry to every question
    bool quiet = false;           // only errors and the result
    bool verbose = false;         // also the steps: library, device, board, each step's time
    std::string library;          // --library FILE, when the working directory has none
    session::BoardOptions board;  // how the commands that touch the board reach it
    int exitStatus = 0;
};

void AddGlobalOptions(CLI::App& app, GlobalOptions& options);

// One function per subcommand, each in its own file.
void AddDevicesCommand(CLI::App& app, GlobalOptions& options);
void AddDetectCommand(CLI::App& app, GlobalOptions& options);
void AddResetCommand(CLI::App& app, GlobalOptions& options);
void AddConvertCommand(CLI::App& app, GlobalOptions& options);
void AddBlankCheckCommand(CLI::App& app, GlobalOptions& options);
void AddReadCommand(CLI::App& app, GlobalOptions& options);
void AddProgramCommand(CLI::App& app, GlobalOptions& options);
void AddVerifyCommand(CLI::App& app, GlobalOptions& options);
void AddEraseCommand(CLI::App& app, GlobalOptions& options);
void AddFusesCommand(CLI::App& app, GlobalOptions& options);

}  // namespace merlinox::cli
