#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"

namespace merlinox::cli {

// `kestrel-cli erase`: the button "Löschen".
void AddEraseCommand(CLI::App& app, GlobalOptions& global) {
    auto* cmd = app.add_subcommand("erase", "Erase flash, EEPROM and lock bits");
    auto options = std::make_shared<ChipOptions>();
    auto board = std::make_shared<BoardOptions>();
    AddChipOptions(*cmd, *options);
    AddBoardOptions(*cmd, *board);
    cmd->callback([&global, board, options] {
        RunChipCommand(global, *options, *board,
                       [](ChipRun& run) { return run.handlers().OnEraseButton(); });
    });
}

}  // namespace merlinox::cli
