// High-voltage parallel programming of the old AT90S parts, cycle by cycle as in the
// datasheets' "Parallel Programming" algorithms.
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

struct ParChip {
    explicit ParChip(const char* part, std::uint32_t vpp = 12000) : chip(*FindChipByName(part)), pins(chip) {
        pins.PowerHv(vpp);
    }
    std::uint16_t ReadWord(std::uint16_t word) {
        pins.ParCommand(0x02);
        pins.ParAddress(word);
        const std::uint8_t low = pins.ParRead(false);
        return static_cast<std::uint16_t>(pins.ParRead(true) << 8 | low);
    }
    SimulatedChip chip;
    testing::ChipPins pins;
};

TEST(ChipParallel, ReadsSignatureAndWritesFlashAndEepromByteWise) {
    ParChip s8515("AT90S8515");
    ASSERT_EQ(s8515.chip.Mode(), ChipMode::kHvParallel);
    s8515.pins.ParCommand(0x08);
    for (std::uint8_t i = 0; i < 3; ++i) {
        s8515.pins.ParLoad(false, false, false, i);
        EXPECT_EQ(s8515.pins.ParRead(false), FindChipByName("AT90S8515")->signature[i]);
    }

    s8515.pins.ParCommand(0x10);
    s8515.pins.ParAddress(0x0FFF);
    s8515.pins.ParLoad(false, true, false, 0xCD);
    s8515.pins.ParWritePulse(false, 1);
    s8515.pins.WaitUs(4000);
    s8515.pins.ParLoad(false, true, true, 0xAB);
    s8515.pins.ParWritePulse(true, 1);
    s8515.pins.WaitUs(4000);
    EXPECT_EQ(s8515.ReadWord(0x0FFF), 0xABCD);

    s8515.pins.ParCommand(0x11);
    s8515.pins.ParAddress(0x01FF);
    s8515.pins.ParLoad(false, true, false, 0x5A);
    s8515.pins.ParWritePulse(false, 1);
    s8515.pins.WaitUs(4000);
    s8515.pins.ParCommand(0x03);
    s8515.pins.ParAddress(0x01FF);
    EXPECT_EQ(s8515.pins.ParRead(false), 0x5A);
}

TEST(ChipParallel, FuseAndLockNeedTheirPulsesAndReadBackInTheOldLayout) {
    ParChip s2313("AT90S2313");
    s2313.pins.ParCommand(0x40);
    s2313.pins.ParLoad(false, true, false, 0xDE);  // FSTRT and SPIEN programmed
    s2313.pins.ParWritePulse(false, 100);          // shorter than 1 ms: nothing
    s2313.pins.ParCommand(0x04);
    EXPECT_EQ(s2313.pins.ParRead(true), 0xDF);     // LB1, LB2 unprogrammed, SPIEN programmed
    s2313.pins.ParCommand(0x40);
    s2313.pins.ParLoad(false, true, false, 0xDE);
    s2313.pins.ParWritePulse(false, 1000);
    s2313.pins.ParCommand(0x20);
    s2313.pins.ParLoad(false, true, false, 0xF9);  // LB1 and LB2
    s2313.pins.ParWritePulse(false, 1);
    s2313.pins.WaitUs(4000);
    s2313.pins.ParCommand(0x04);
    EXPECT_EQ(s2313.pins.ParRead(true), 0x1E);
    EXPECT_EQ(s2313.ReadWord(0), 0x0000);  // hidden by the lock
}

TEST(ChipParallel, ChipEraseNeedsAWrPulseOfTenMilliseconds) {
    ParChip s1200("AT90S1200");
    s1200.chip.Contents().flash[0] = 0x12;
    s1200.chip.Contents().lock = 0xFC;
    s1200.pins.ParCommand(0x80);
    s1200.pins.ParWritePulse(false, 5000);
    EXPECT_EQ(s1200.chip.Contents().flash[0], 0x12);
    s1200.pins.ParCommand(0x80);
    s1200.pins.ParWritePulse(false, 10000);
    EXPECT_EQ(s1200.ReadWord(0), 0xFFFF);
    EXPECT_EQ(s1200.chip.Core().Lock(), 0xFF);
}

TEST(ChipParallel, NoAnswerWithoutProgrammingVoltageOrSupply) {
    ParChip noVpp("AT90S8515", 0);
    noVpp.pins.ParCommand(0x08);
    noVpp.pins.ParLoad(false, false, false, 0);
    EXPECT_NE(noVpp.chip.Mode(), ChipMode::kHvParallel);
    EXPECT_NE(noVpp.pins.ParRead(false), 0x1E);

    ParChip noVcc("AT90S8515");
    noVcc.pins.drive.vccMillivolts = 0;
    noVcc.pins.Step();
    EXPECT_EQ(noVcc.chip.Mode(), ChipMode::kOff);
    noVcc.pins.ParCommand(0x08);
    EXPECT_EQ(noVcc.pins.ParRead(false), 0xFF);
}

}  // namespace
}  // namespace merlinox::sim
