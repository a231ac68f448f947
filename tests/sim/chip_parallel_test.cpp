// High-voltage parallel programming of the old AT90S parts: what the chip makes of WR
// pulses. The plain cycles are exercised by the protocol tests and by the end-to-end
// runs of every parallel mode on the simulated board.
#include <gtest/gtest.h>

#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"
#include "protocols/chip_rig.h"
#include "protocols/parallel.h"
#include "sim/chip_model.h"

namespace merlinox::sim {
namespace {

using merlinox::testing::ChipRig;

// A fuse write needs WR held low for its programming time, the chip erase for 10 ms;
// a shorter pulse changes nothing.
TEST(ChipParallel, FusesAndChipEraseNeedALongEnoughWrPulse) {
    ChipRig rig("AT90S2313", kPar1);
    rig.chip.Contents().flash[0] = 0x12;
    rig.PowerUp();
    ParLoadCommand(rig.ctx, 0x40);
    ParWriteByte(rig.ctx, 0xDE);  // FSTRT and SPIEN, but WR is released at once
    ParLoadCommand(rig.ctx, 0x04);
    EXPECT_EQ(ParReadByteHigh(rig.ctx), 0xDF);  // bit 7 LB1, 6 LB2, 5 SPIEN, 0 FSTRT

    for (const std::uint32_t units : {80, 130}) {  // about 90 us each
        ParLoadCommand(rig.ctx, 0x80);
        SetControlBit(rig.ctx, bits::kCtrlWr, false);
        Wait100us(rig.ctx, units);
        SetControlBit(rig.ctx, bits::kCtrlWr, true);
        EXPECT_EQ(rig.chip.Contents().flash[0], units < 100 ? 0x12 : 0xFF) << units;
    }
}

// Parallel programming mode needs the supply first with RESET low, and XA1, XA0 and BS
// low when the programming voltage reaches RESET.
TEST(ChipParallel, EntersProgrammingModeOnlyWithTheProgEnablePinsLow) {
    const auto enters = [](bool SocketDrive::*line, bool supplyFirst) {
        SimulatedChip chip(*FindChipByName("AT90S8515"));
        SocketDrive drive;
        drive.wr = drive.oe = true;
        if (supplyFirst) {
            drive.vccMillivolts = 5000;
            chip.OnDrive(drive, 1000);
        }
        if (line != nullptr) drive.*line = true;
        drive.vccMillivolts = 5000;
        drive.resetMillivolts = 12000;
        chip.OnDrive(drive, 300000);
        // Lowering the pin afterwards does not help while the voltage stays.
        if (line != nullptr) drive.*line = false;
        chip.OnDrive(drive, 400000);
        return chip.Mode() == ChipMode::kHvParallel;
    };
    EXPECT_TRUE(enters(nullptr, true));
    EXPECT_FALSE(enters(nullptr, false));
    EXPECT_FALSE(enters(&SocketDrive::xa1, true));
    EXPECT_FALSE(enters(&SocketDrive::bs, true));
}

}  // namespace
}  // namespace merlinox::sim
