#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "sim/chip_core.h"

namespace merlinox::sim {

class SimulatedChip;

// A simulated chip's contents as text, so that separate runs of the command line see
// the same chip:
//
//   merlinox-chip 1
//   part ATmega8
//   fuses E1 D9 FF
//   lock FF
//   calibration 80
//   flash 000040 0C94340C...      byte address, then up to 64 bytes in hex
//   eeprom 0000 41424344
//   end
//
// Lines of flash or EEPROM that are erased (all 0xFF) are left out.
struct ChipState {
    const ChipFacts* facts = nullptr;
    ChipContents contents;
};

std::string FormatChipState(const ChipFacts& facts, const ChipContents& contents);

// The state file is outside input: anything malformed (unknown part, bad hex, data
// beyond the memory, missing end line) gives no state and a reason in error.
std::optional<ChipState> ParseChipState(std::string_view text, std::string& error);

// File forms. Saving writes a temporary file of its own beside the state file and
// renames it over the old one; it never replaces a file that is not a chip state (a
// mistyped --sim-state firmware.hex) or not a regular file (/dev/full, a FIFO, a link).
// Loading reads regular files only.
std::string StateFileProblem(const std::string& path);  // empty when path may be used
bool SaveChipState(const std::string& path, const SimulatedChip& chip, std::string& error);
std::optional<ChipState> LoadChipState(const std::string& path, std::string& error);

}  // namespace merlinox::sim
