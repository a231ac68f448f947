#include "gui/simulated_socket.h"

#include <cstdio>
#include <filesystem>

#include "sim/board_sim.h"
#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"
#include "sim/chip_state_file.h"

namespace merlinox::gui {

SimulatedSocket::SimulatedSocket(sim::SimBoard& board, std::string statePath,
                                 std::string fixedPart)
    : board_(board), statePath_(std::move(statePath)), fixedPart_(std::move(fixedPart)) {}

SimulatedSocket::~SimulatedSocket() {
    Save();
    board_.Insert(nullptr);
}

void SimulatedSocket::Follow(std::uint32_t deviceCode) {
    if (chip_ && (!fixedPart_.empty() || chip_->Facts().code == deviceCode)) return;
    Save();
    std::string error;
    std::optional<sim::ChipState> state;
    if (std::filesystem::exists(statePath_)) {
        state = sim::LoadChipState(statePath_, error);
        if (!state) {
            std::fprintf(stderr, "kestrel: the chip state in %s is unusable (%s)\n",
                         statePath_.c_str(), error.c_str());
        }
    }
    const sim::ChipFacts* facts = nullptr;
    if (!fixedPart_.empty()) {
        facts = sim::FindChipByName(fixedPart_);
        if (facts == nullptr) {
            std::fprintf(stderr, "kestrel: no simulated part \"%s\"\n", fixedPart_.c_str());
        }
    } else if (state && state->facts->code == deviceCode) {
        facts = state->facts;
    } else {
        facts = sim::FindChipByCode(static_cast<std::uint16_t>(deviceCode));
    }
    if (facts == nullptr) {
        Insert(nullptr);  // nothing of that part: the socket stays empty
        return;
    }
    auto chip = std::make_unique<sim::SimulatedChip>(*facts);
    if (state && state->facts == facts) chip->Contents() = state->contents;
    Insert(std::move(chip));
}

void SimulatedSocket::Insert(std::unique_ptr<sim::SimulatedChip> chip) {
    board_.Insert(chip.get());
    chip_ = std::move(chip);
}

void SimulatedSocket::Save() {
    if (!chip_) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(statePath_).parent_path(), ignored);
    std::string error;
    if (!sim::SaveChipState(statePath_, *chip_, error)) {
        std::fprintf(stderr, "kestrel: the simulated chip could not be kept in %s: %s\n",
                     statePath_.c_str(), error.c_str());
    }
}

}  // namespace merlinox::gui
