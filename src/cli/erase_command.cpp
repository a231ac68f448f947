#include "cli/chip_run.h"
#include "cli/commands.h"

namespace merlinox::cli {

// `kestrel-cli erase`: the button "Löschen".
void AddEraseCommand(CLI::App& app, GlobalOptions& global) {
    AddChipCommand(app, global, "erase", "Erase flash, EEPROM and lock bits",
                   [](ChipRun& run) { return run.handlers().OnEraseButton(); });
}

}  // namespace merlinox::cli
