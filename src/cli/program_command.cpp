#include <CLI/CLI.hpp>

#include "cli/chip_run.h"
#include "cli/commands.h"
#include "config/data_file_paths.h"

namespace merlinox::cli {

// `kestrel-cli program FILE`: the button "Brennen" with FILE as the data file: flash,
// the "eep" companion beside it, then the fuse and lock bytes the device's settings hold
// (see `fuses`). FILE stays the current data file, as after "Neue Datei".
void AddProgramCommand(CLI::App& app, GlobalOptions& global) {
    auto file = std::make_shared<std::string>();
    auto* cmd = AddChipCommand(app, global, "program",
                               "Program flash, EEPROM companion, fuses and lock bits",
                               [file](ChipRun& run) {
                                   SetDataFileFromDisk(run.ctx().paths, AbsolutePath(*file));
                                   return run.handlers().OnProgramButton();
                               });
    cmd->add_option("file", *file, "Data file (binary, Atmel ROM, Intel HEX, Motorola S, AVR ELF)")
        ->required();
}

}  // namespace merlinox::cli
