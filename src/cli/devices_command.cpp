#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace merlinox::cli {

// Placeholder registration so the tool links; the library listing replaces it.
void AddDevicesCommand(CLI::App& app, GlobalOptions& options) {
    auto* cmd = app.add_subcommand("devices", "List the device library and the selected device");
    cmd->callback([&options] { options.exitStatus = 0; });
}

}  // namespace merlinox::cli
