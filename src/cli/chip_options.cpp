#include "cli/chip_options.h"

#include <CLI/CLI.hpp>

#include <cstdlib>

#include "session/sim_state.h"

namespace merlinox::cli {

void AddDeviceOptions(CLI::App& command, ChipOptions& options) {
    command.add_option("-d,--device", options.device,
                       "Device by its name in the library (letter case ignored)");
    auto* manufacturer = command.add_option("-m,--manufacturer", options.manufacturer,
                                            "Manufacturer by its number in the library (from 0)");
    auto* index = command.add_option("-i,--index", options.index,
                                     "Device by its number under the manufacturer (from 0)");
    index->needs(manufacturer);
    manufacturer->needs(index);
    index->excludes("--device");
    // Each box has an on and an off flag; given neither, the device's setting stays.
    const auto addBox = [&command](const std::string& name, std::optional<bool>& value,
                                   const std::string& help) {
        auto* on = command.add_flag_callback(
            "--" + name, [&value] { value = true; }, help);
        auto* off = command.add_flag_callback(
            "--no-" + name, [&value] { value = false; }, "The opposite of --" + name);
        on->excludes(off);
    };
    addBox("id-check", options.idCheck,
           "\"ID prüfen\": compare the signature first (kept for the device)");
    addBox("ff-save", options.ffSave,
           "\"Leerzellen speichern\": also save blank cells (kept for the device)");
    addBox("checksum", options.checksum,
           "\"Checksumme prüfen\": check record checksums (kept for the device)");
}

void AddChipOptions(CLI::App& command, ChipOptions& options) {
    AddDeviceOptions(command, options);
    command
        .add_option("--sim-state", options.simState,
                    "Simulated board: file that keeps the chip between runs")
        ->default_str(session::DefaultSimStatePath());
    command.add_option("--sim-chip", options.simChip,
                       "Simulated board: part in the socket (default: the selected device)");
}

}  // namespace merlinox::cli
