#include "gui/simulated_socket.h"

#include <cstdio>

#include "sim/board_sim.h"
#include "sim/chip_model.h"
#include "sim/kept_chip.h"

namespace merlinox::gui {

SimulatedSocket::SimulatedSocket(sim::SimBoard& board, std::string statePath, std::string fixedPart)
    : board_(board), statePath_(std::move(statePath)), fixedPart_(std::move(fixedPart)) {}

SimulatedSocket::~SimulatedSocket() {
    Save();
    board_.Insert(nullptr);
}

void SimulatedSocket::Follow(std::uint32_t deviceCode) {
    if (chip_ && (!fixedPart_.empty() || chip_->Facts().code == deviceCode)) return;
    Save();
    sim::PickedChip picked = sim::PickChipForSocket(statePath_, fixedPart_, deviceCode);
    for (const std::string& notice : picked.notices) {
        std::fprintf(stderr, "kestrel: %s\n", notice.c_str());
    }
    Insert(std::move(picked.chip));  // nothing of that part: the socket stays empty
}

void SimulatedSocket::Insert(std::unique_ptr<sim::SimulatedChip> chip) {
    board_.Insert(chip.get());
    chip_ = std::move(chip);
}

void SimulatedSocket::Save() {
    if (!chip_) return;
    if (const std::string problem = sim::KeepChip(statePath_, *chip_); !problem.empty()) {
        std::fprintf(stderr, "kestrel: %s\n", problem.c_str());
    }
}

}  // namespace merlinox::gui
