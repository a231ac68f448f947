#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"

namespace merlinox::cli {

// `kestrel-cli erase`: the button "Löschen".
void AddEraseCommand(CLI::App& app, GlobalOptions& global) {
    auto* cmd = app.add_subcommand("erase", "Erase flash, EEPROM and lock bits");
    auto options = std::make_shared<ChipOptions>();
    AddChipOptions(*cmd, *options);
    cmd->callback([&global, options] {
        RunChipCommand(global, *options, global.board,
                       [](ChipRun& run) { return run.handlers().OnEraseButton(); });
    });
}

}  // namespace merlinox::cli
