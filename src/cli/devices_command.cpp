#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/device_listing.h"
#include "cli/session.h"

namespace merlinox::cli {

// `kestrel-cli devices`: the library as the window's lists show it, then the selected
// device's record, so that a user can check a library they edited.
void AddDevicesCommand(CLI::App& app, GlobalOptions& options) {
    auto* cmd = app.add_subcommand("devices", "List the device library and the selected device");
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--json", *json, "As one JSON object, for scripts");
    cmd->callback([&options, json] {
        Session session(options);
        const int device = session.LoadConfiguration();
        Context& ctx = session.ctx();
        if (*json) {
            const int library = PrintLibraryJson(ctx, device, stdout);
            options.exitStatus = library != 0 ? library : device;
            return;
        }
        const int library = PrintLibrary(ctx, stdout);
        std::printf("\nSelected: manufacturer %d, device %d\n", ctx.settings.manufIndex,
                    ctx.settings.deviceIndex);
        if (device == 0) {
            PrintDeviceRecord(ctx.device, stdout);
        } else {
            std::printf("(the selected device could not be read)\n");
        }
        options.exitStatus = library != 0 ? library : device;
    });
}

}  // namespace merlinox::cli
