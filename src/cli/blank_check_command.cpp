#include "cli/chip_run.h"
#include "cli/commands.h"

namespace merlinox::cli {

// `kestrel-cli blank-check`: the button "Leertest".
void AddBlankCheckCommand(CLI::App& app, GlobalOptions& global) {
    AddChipCommand(app, global, "blank-check", "Check that flash and EEPROM are erased",
                   [](ChipRun& run) { return run.handlers().OnBlankCheckButton(); });
}

}  // namespace merlinox::cli
