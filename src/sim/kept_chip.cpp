#include "sim/kept_chip.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"
#include "sim/chip_state_file.h"

namespace merlinox::sim {

PickedChip PickChipForSocket(const std::string& statePath, const std::string& fixedPart,
                             std::uint32_t deviceCode) {
    PickedChip picked;
    // A file that is not a chip state stays untouched, and so does the run: it would
    // be replaced when the chip is kept.
    if (const std::string problem = StateFileProblem(statePath); !problem.empty()) {
        picked.notices.push_back(problem + "; it is left as it is and no chip is in the socket");
        return picked;
    }
    std::optional<ChipState> state;
    if (std::filesystem::exists(statePath)) {
        std::string error;
        state = LoadChipState(statePath, error);
        if (!state) {
            picked.notices.push_back("the chip state in " + statePath + " is unusable (" + error +
                                     "); a blank chip is in the socket");
        }
    }
    const ChipFacts* facts = nullptr;
    if (!fixedPart.empty()) {
        facts = FindChipByName(fixedPart);
        if (facts == nullptr) picked.notices.push_back("no simulated part \"" + fixedPart + "\"");
    } else if (state && state->facts->code == deviceCode) {
        facts = state->facts;
    } else {
        facts = FindChipByCode(static_cast<std::uint16_t>(deviceCode));
        if (facts == nullptr) {
            char code[8];
            std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(deviceCode & 0xFFFF));
            picked.notices.push_back(std::string("no simulated part has the device code 0x") +
                                     code);
        }
    }
    if (facts == nullptr) return picked;
    picked.chip = std::make_unique<SimulatedChip>(*facts);
    if (state && state->facts == facts) picked.chip->Contents() = state->contents;
    return picked;
}

std::string KeepChip(const std::string& statePath, const SimulatedChip& chip) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(statePath).parent_path(), ignored);
    std::string error;
    if (SaveChipState(statePath, chip, error)) return {};
    return "the simulated chip could not be kept in " + statePath + ": " + error;
}

}  // namespace merlinox::sim
