// High-voltage serial programming, frame by frame as in the datasheets' "High-voltage
// Serial Programming Instruction Set" tables (SDI, SII pairs).
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

struct HvChip {
    explicit HvChip(const char* part) : chip(*FindChipByName(part)), pins(chip) {
        pins.sciPerBit = chip.Core().Traits().hvspClocksPerBit;
        pins.PowerHv();
    }
    // A signature byte read, frame by frame (SDI, SII); the byte comes out in the last.
    std::uint8_t Signature(int index) {
        const int frames[5][2] = {{0x08, 0x4C}, {index, 0x0C}, {0, 0x1C}, {0, 0x68}, {0, 0x6C}};
        std::uint8_t out = 0;
        for (const auto& [sdi, sii] : frames)
            out = pins.HvFrame(static_cast<std::uint8_t>(sdi), static_cast<std::uint8_t>(sii));
        return out;
    }
    SimulatedChip chip;
    testing::ChipPins pins;
};

// The chip takes SDI and SII at the rising SCI edge, so they must stand before it; the
// ATtiny15 wants 16 SCI periods per bit.
TEST(ChipHvSerial, TakesSdiAndSiiSetBeforeTheEdgeWithThePartsClocksPerBit) {
    HvChip tiny13("ATtiny13");
    EXPECT_EQ(tiny13.Signature(1), 0x90);
    tiny13.pins.dataWithClock = true;
    EXPECT_NE(tiny13.Signature(1), 0x90);

    HvChip tiny15("ATtiny15");
    EXPECT_EQ(tiny15.Signature(2), 0x06);
    tiny15.pins.sciPerBit = 1;
    EXPECT_NE(tiny15.Signature(2), 0x06);
}

}  // namespace
}  // namespace merlinox::sim
