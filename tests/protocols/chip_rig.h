#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "link/board_control.h"
#include "protocols/spi.h"
#include "sim/chip_device_line.h"
#include "sim/chip_model.h"
#include "support/sim_link.h"

namespace merlinox::testing {

// A simulated board with a catalogue chip in its socket and that chip's device record
// in the context; PowerOn ends the serial modes with the real synchronisation.
struct ChipRig : SimLink {
    ChipRig(const char* part, std::int32_t mode, sim::ChipOptions options = {},
            const sim::BoardWiring& wiring = sim::kBoardWiring)
        : SimLink({}, wiring), chip(*sim::FindChipByName(part), options) {
        board.Insert(&chip);
        ctx.link.spiSync = &SPISync;
        ctx.device = sim::DeviceRecordFor(ctx, chip.Facts(), mode);
    }
    void PowerUp() {
        BoardInit(ctx);
        PowerOn(ctx);
        ClearLog();
    }
    std::uint16_t FlashWord(std::uint32_t word) const {
        return static_cast<std::uint16_t>(chip.Contents().flash[2 * word + 1] << 8 |
                                          chip.Contents().flash[2 * word]);
    }
    sim::SimulatedChip chip;
};

}  // namespace merlinox::testing
