#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"

namespace merlinox::cli {

// `kestrel-cli blank-check`: the button "Leertest".
void AddBlankCheckCommand(CLI::App& app, GlobalOptions& global) {
    auto* cmd = app.add_subcommand("blank-check", "Check that flash and EEPROM are erased");
    auto options = std::make_shared<ChipOptions>();
    AddChipOptions(*cmd, *options);
    cmd->callback([&global, options] {
        RunChipCommand(global, *options, global.board,
                       [](ChipRun& run) { return run.handlers().OnBlankCheckButton(); });
    });
}

}  // namespace merlinox::cli
