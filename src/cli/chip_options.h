#pragma once
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace merlinox::cli {

// The options of every command that works on a chip: which device, the per-device
// check boxes of the window, and the simulated chip.
struct ChipOptions {
    std::string device;            // --device NAME
    int manufacturer = -1;         // --manufacturer N, with --index
    int index = -1;                // --index N
    std::optional<bool> idCheck;   // --id-check / --no-id-check: "ID prüfen"
    std::optional<bool> ffSave;    // --ff-save / --no-ff-save: "Leerzellen speichern"
    std::optional<bool> checksum;  // --checksum / --no-checksum: "Checksumme prüfen"
    std::string simState;          // --sim-state FILE
    std::string simChip;           // --sim-chip NAME
};

// The device and its check boxes; AddChipOptions adds the simulated chip's options too.
void AddDeviceOptions(CLI::App& command, ChipOptions& options);
void AddChipOptions(CLI::App& command, ChipOptions& options);

}  // namespace merlinox::cli
