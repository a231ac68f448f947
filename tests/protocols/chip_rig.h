#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "devices/device_record.h"
#include "devices/time_base.h"
#include "link/board_control.h"
#include "sim/chip_model.h"
#include "support/sim_link.h"

namespace merlinox::testing {

// A device line as our library would give it for a catalogue part: 5 V supply, 12 V
// programming voltage, the part's own sizes, pages and write times.
inline DeviceRecord RecordFor(const Context& ctx, const sim::ChipFacts& f, std::int32_t mode) {
    const sim::ChipTiming timing = sim::TimingFor(f);
    auto delay = [&](std::uint32_t us) { return us > 1 ? TimeBase(ctx, us) : us; };
    DeviceRecord d;
    d.name = f.part;
    d.pinCount = f.dipPins != 0 ? f.dipPins : 40;
    d.programmingVoltageCode = 120;
    d.supplyVoltageCode = 100;
    d.flashWriteDelay = delay(timing.flashWriteUs);
    d.eepromWriteDelay = delay(timing.eepromWriteUs);
    d.eraseDelay = delay(timing.chipEraseUs);
    d.flashWords = f.flashBytes / 2;
    d.eepromBytes = f.eepromBytes;
    d.manufacturerId = f.signature[0];
    d.deviceId = f.signature[1];
    d.subId = f.signature[2];
    d.deviceCode = f.code;
    d.fuseD0 = f.code == 0x9103 ? 1 : 0;
    d.programmingMode = mode;
    d.flashPageWords = f.flashPageWords;
    d.eepromPageBytes = f.eepromPageBytes;
    d.extendedAddressing = f.extendedAddress ? 1 : 0;
    d.spiSyncMode = 0;
    d.fuseCount = f.fuseBytes;
    return d;
}

// A simulated board with a catalogue chip in its socket and that chip's device line
// in the context.
struct ChipRig : SimLink {
    ChipRig(const char* part, std::int32_t mode, sim::ChipOptions options = {})
        : chip(*sim::FindChipByName(part), options) {
        board.Insert(&chip);
        ctx.device = RecordFor(ctx, chip.Facts(), mode);
    }
    void PowerUp() {
        BoardInit(ctx);
        PowerOn(ctx);
        ClearLog();
    }
    std::uint16_t FlashWord(std::uint32_t word) const {
        return static_cast<std::uint16_t>(chip.Contents().flash[2 * word + 1] << 8 | chip.Contents().flash[2 * word]);
    }
    // Latch stores of the data latch only (the serial lines).
    std::vector<std::uint8_t> DataStores() const {
        std::vector<std::uint8_t> out;
        for (const sim::LatchWrite& w : log) {
            if (w.command == 0x0A) out.push_back(w.data);
        }
        return out;
    }
    sim::SimulatedChip chip;
};

}  // namespace merlinox::testing
