#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"
#include "config/data_file_paths.h"

namespace merlinox::cli {

// `kestrel-cli verify FILE`: the button "Prüfen": the chip against FILE and its "eep"
// companion.
void AddVerifyCommand(CLI::App& app, GlobalOptions& global) {
    auto file = std::make_shared<std::string>();
    auto* cmd = AddChipCommand(app, global, "verify",
                               "Compare the chip with a data file and its EEPROM companion",
                               [file](ChipRun& run) {
                                   SetDataFileFromDisk(run.ctx().paths, AbsolutePath(*file));
                                   return run.handlers().OnVerifyButton();
                               });
    cmd->add_option("file", *file, "Data file")->required();
}

}  // namespace merlinox::cli
