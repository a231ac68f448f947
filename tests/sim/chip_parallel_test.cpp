// High-voltage parallel programming of the old AT90S parts, cycle by cycle as in the
// datasheets' "Parallel Programming" algorithms. The byte-wise flash and EEPROM cycles
// are tested through the protocol operations (tests/protocols/parallel_test.cpp).
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

struct ParChip {
    explicit ParChip(const char* part, std::uint32_t vpp = 12000) : chip(*FindChipByName(part)), pins(chip) {
        pins.PowerHv(vpp);
    }
    void Load(std::uint8_t command, std::uint8_t data) {
        pins.ParCommand(command);
        pins.ParLoad(false, true, false, data);
    }
    SimulatedChip chip;
    testing::ChipPins pins;
};

TEST(ChipParallel, FusesNeedAOneMillisecondWrPulseAndReadBackInTheOldLayout) {
    ParChip s2313("AT90S2313");
    s2313.Load(0x40, 0xDE);               // FSTRT and SPIEN programmed
    s2313.pins.ParWritePulse(false, 100);  // too short: nothing
    s2313.pins.ParCommand(0x04);
    EXPECT_EQ(s2313.pins.ParRead(true), 0xDF);  // bit 7 LB1, bit 6 LB2, bit 5 SPIEN, bit 0 FSTRT
    s2313.Load(0x40, 0xDE);
    s2313.pins.ParWritePulse(false, 1000);
    s2313.Load(0x20, 0xF9);  // LB1 and LB2
    s2313.pins.ParWritePulse(false, 1);
    s2313.pins.WaitUs(4000);
    s2313.pins.ParCommand(0x04);
    EXPECT_EQ(s2313.pins.ParRead(true), 0x1E);
    s2313.pins.ParCommand(0x02);
    EXPECT_EQ(s2313.pins.ParRead(false), 0x00);  // hidden by the lock
}

TEST(ChipParallel, ChipEraseNeedsAWrPulseOfTenMilliseconds) {
    ParChip s1200("AT90S1200");
    s1200.chip.Contents().flash[0] = 0x12;
    s1200.chip.Contents().lock = 0xFC;
    for (const std::uint64_t micros : {5000, 10000}) {
        s1200.pins.ParCommand(0x80);
        s1200.pins.ParWritePulse(false, micros);
        EXPECT_EQ(s1200.chip.Contents().flash[0], micros < 10000 ? 0x12 : 0xFF);
    }
    EXPECT_EQ(s1200.chip.Core().Lock(), 0xFF);
}

TEST(ChipParallel, LoadTakesTheBusAsTheChipDrivesItWhileOeIsLow) {
    ParChip s8515("AT90S8515");
    s8515.pins.ParCommand(0x08);
    s8515.pins.ParLoad(false, false, false, 0);
    EXPECT_EQ(s8515.pins.ParRead(false), 0x1E);
    s8515.pins.drive.oe = false;  // the chip drives 0x1E; address 1 meets it on the bus
    s8515.pins.drive.dataLines = 0x01;
    s8515.pins.Step();
    s8515.pins.drive.xtal1 = true;
    s8515.pins.Step();
    s8515.pins.drive.xtal1 = false;
    s8515.pins.Step();
    EXPECT_EQ(s8515.pins.ParRead(false), 0x1E);  // still address 0
    s8515.pins.ParLoad(false, false, false, 1);
    EXPECT_EQ(s8515.pins.ParRead(false), 0x93);
}

TEST(ChipParallel, NoAnswerWithoutProgrammingVoltageOrSupply) {
    ParChip noVpp("AT90S8515", 0);
    EXPECT_NE(noVpp.chip.Mode(), ChipMode::kHvParallel);
    ParChip noVcc("AT90S8515");
    noVcc.pins.drive.vccMillivolts = 0;
    noVcc.pins.Step();
    EXPECT_EQ(noVcc.chip.Mode(), ChipMode::kOff);
    for (ParChip* chip : {&noVpp, &noVcc}) {
        chip->pins.ParCommand(0x08);
        chip->pins.ParLoad(false, false, false, 0);
        EXPECT_NE(chip->pins.ParRead(false), 0x1E);
    }
}

}  // namespace
}  // namespace merlinox::sim
