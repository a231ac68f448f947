// High-voltage parallel programming of the old AT90S parts: what the chip makes of WR
// pulses and of the bus while it drives it. The plain flash, EEPROM and signature
// cycles are tested through the protocol operations (tests/protocols/parallel_test.cpp).
#include <gtest/gtest.h>

#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"
#include "protocols/chip_rig.h"
#include "protocols/parallel.h"

namespace merlinox::sim {
namespace {

using merlinox::testing::ChipRig;

// WR low for the given delay units (about 90 us each) with the loaded command.
void WrPulse(ChipRig& rig, std::uint32_t units) {
    SetControlBit(rig.ctx, bits::kCtrlWr, false);
    Wait100us(rig.ctx, units);
    SetControlBit(rig.ctx, bits::kCtrlWr, true);
}

TEST(ChipParallel, FusesNeedTheLongWrPulseAndReadBackInTheOldLayout) {
    ChipRig rig("AT90S2313", kPar1);
    rig.PowerUp();
    ParLoadCommand(rig.ctx, 0x40);
    ParWriteByte(rig.ctx, 0xDE);  // FSTRT and SPIEN, but WR is released at once
    ParLoadCommand(rig.ctx, 0x04);
    EXPECT_EQ(ParReadByteHigh(rig.ctx), 0xDF);  // bit 7 LB1, 6 LB2, 5 SPIEN, 0 FSTRT
    ParLoadCommand(rig.ctx, 0x40);
    ParWriteFuseByte(rig.ctx, 0xDE);
    ParLoadCommand(rig.ctx, 0x20);
    ParWriteByte(rig.ctx, 0xF9);  // LB1 and LB2
    ParLoadCommand(rig.ctx, 0x04);
    EXPECT_EQ(ParReadByteHigh(rig.ctx), 0x1E);
    ParLoadCommand(rig.ctx, 0x02);
    EXPECT_EQ(ParReadWord(rig.ctx), 0x0000);  // hidden by the lock
}

TEST(ChipParallel, ChipEraseNeedsAWrPulseOfTenMilliseconds) {
    ChipRig rig("AT90S1200", kPar1);
    rig.chip.Contents().flash[0] = 0x12;
    rig.chip.Contents().lock = 0xFC;
    rig.PowerUp();
    for (const std::uint32_t units : {80, 130}) {
        ParLoadCommand(rig.ctx, 0x80);
        WrPulse(rig, units);
        EXPECT_EQ(rig.chip.Contents().flash[0], units < 100 ? 0x12 : 0xFF) << units;
    }
    EXPECT_EQ(rig.chip.Core().Lock(), 0xFF);
}

TEST(ChipParallel, LoadTakesTheBusAsTheChipDrivesItWhileOeIsLow) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    ParLoadCommand(rig.ctx, 0x08);
    ParLoadAddressLow(rig.ctx, 0);
    SetSignalBit(rig.ctx, bits::kSigOe, false);  // the chip drives 0x1E
    SendCommand(rig.ctx, CmdData, 0x01);
    SetClock(rig.ctx, bits::kClkXtal1);
    SetClock(rig.ctx, 0);
    EXPECT_EQ(ParReadByteLow(rig.ctx), 0x1E);  // address 0x01 & 0x1E, not 1
    ParLoadAddressLow(rig.ctx, 1);
    EXPECT_EQ(ParReadByteLow(rig.ctx), 0x93);
}

}  // namespace
}  // namespace merlinox::sim
