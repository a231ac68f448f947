// High-voltage serial programming, frame by frame as in the datasheets' "High-voltage
// Serial Programming Instruction Set" tables (SDI, SII pairs).
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

struct HvChip {
    explicit HvChip(const char* part, int entryClocks = 0, std::uint8_t progEnable = 0)
        : chip(*FindChipByName(part)), pins(chip) {
        pins.sciPerBit = chip.Core().Traits().hvspClocksPerBit;
        pins.PowerHv(12000, 5000, entryClocks, progEnable);
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

// Programming mode comes only from the entry the datasheets give: the supply before the
// programming voltage, SDI, SII and SDO low as it reaches RESET, and for the old parts
// SCI pulses before it. Otherwise the chip runs normally and shows no signature.
TEST(ChipHvSerial, EntersProgrammingModeOnlyAsTheDatasheetsAsk) {
    using P = testing::ChipPins;
    for (const std::uint8_t pin : {P::kSdi, P::kSii, P::kSdo}) {
        HvChip broken("ATtiny13", 0, pin);
        EXPECT_EQ(broken.chip.Mode(), ChipMode::kRunning) << int(pin);
        EXPECT_NE(broken.Signature(1), 0x90) << int(pin);
    }

    // VCC and VPP in one step: no supply before the programming voltage.
    SimulatedChip tiny13(*FindChipByName("ATtiny13"));
    P pins(tiny13);
    pins.drive.vccMillivolts = 5000;
    pins.drive.resetMillivolts = 12000;
    pins.Step();
    pins.WaitUs(500);
    EXPECT_EQ(tiny13.Mode(), ChipMode::kRunning);

    // The ATtiny12 and the AT90S2343 also want SCI pulses before the programming voltage.
    EXPECT_EQ(HvChip("ATtiny12", 0).chip.Mode(), ChipMode::kRunning);
    EXPECT_EQ(HvChip("AT90S2343", 3).chip.Mode(), ChipMode::kRunning);
    EXPECT_EQ(HvChip("ATtiny12", 4).Signature(1), 0x90);
    EXPECT_EQ(HvChip("AT90S2343", 4).Signature(2), 0x03);
}

}  // namespace
}  // namespace merlinox::sim
