#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace merlinox::sim {

class SimulatedChip;

// The chip a user would put into the simulated socket for a device: the part named by
// fixedPart when one is given (to watch a signature check refuse it); otherwise the
// chip kept in the state file when it is of the device's part, else a new, blank chip
// of a part with that device code. The window and the command line share the state
// file, so both see the same chip.
struct PickedChip {
    std::unique_ptr<SimulatedChip> chip;  // null when no part fits, or when the state
                                          // file is no chip state (see StateFileProblem)
    std::vector<std::string> notices;     // what the user should hear, one line each
};
PickedChip PickChipForSocket(const std::string& statePath, const std::string& fixedPart,
                             std::uint32_t deviceCode);

// Keeps the chip in the state file, creating its directory. Empty, or why it failed.
std::string KeepChip(const std::string& statePath, const SimulatedChip& chip);

}  // namespace merlinox::sim
