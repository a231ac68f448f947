#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"
#include "config/data_file_paths.h"

namespace merlinox::cli {

// `kestrel-cli verify FILE`: the button "Prüfen": the chip against FILE and its "eep"
// companion.
void AddVerifyCommand(CLI::App& app, GlobalOptions& global) {
    auto* cmd = app.add_subcommand("verify", "Compare the chip with a data file and its EEPROM companion");
    auto options = std::make_shared<ChipOptions>();
    auto file = std::make_shared<std::string>();
    cmd->add_option("file", *file, "Data file")->required();
    AddChipOptions(*cmd, *options);
    cmd->callback([&global, options, file] {
        RunChipCommand(global, *options, global.board, [&file](ChipRun& run) {
            SetDataFileFromDisk(run.ctx().paths, AbsolutePath(*file));
            return run.handlers().OnVerifyButton();
        });
    });
}

}  // namespace merlinox::cli
