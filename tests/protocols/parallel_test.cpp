#include <gtest/gtest.h>

#include "link/timing.h"
#include "protocols/chip_rig.h"
#include "protocols/parallel.h"

namespace merlinox {
namespace {

using testing::ChipRig;

TEST(Parallel, WordWriteIsFifteenTransfersAndWordReadNine) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 0;
    ParWriteWord(rig.ctx, 0x1234);
    EXPECT_EQ(rig.log.size(), 15u);
    rig.ClearLog();
    ParReadWord(rig.ctx);
    EXPECT_EQ(rig.log.size(), 9u);
}

TEST(Parallel, Dip28PartsTakeTheHighAddressByteFirst) {
    ChipRig rig("AT90S4433", kPar1);
    for (const auto& [pins, bus] : {std::pair{28, std::vector<std::uint8_t>{0x12, 0x34}},
                                   std::pair{40, std::vector<std::uint8_t>{0x34, 0x12}}}) {
        rig.ctx.device.pinCount = static_cast<std::uint8_t>(pins);
        rig.ClearLog();
        ParLoadAddress(rig.ctx, 0x1234);
        std::vector<std::uint8_t> seen;
        for (const sim::LatchWrite& w : rig.log) {
            if (w.command == 0x0A) seen.push_back(w.data);
        }
        EXPECT_EQ(seen, bus) << pins;
    }
}

TEST(Parallel, TooShortADelayLosesTheHighByteAndTheReadBackShowsIt) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 1;
    ParLoadCommand(rig.ctx, 0x10);
    ParLoadAddress(rig.ctx, 0x40);
    ParWriteWord(rig.ctx, 0x1234);
    Wait100us(rig.ctx, 100);
    ParLoadCommand(rig.ctx, 0x02);
    ParLoadAddress(rig.ctx, 0x40);
    EXPECT_EQ(ParReadWord(rig.ctx), 0xFF34);
}

TEST(Parallel, NoAnswerWithoutTheProgrammingVoltageOrSupply) {
    for (auto [vcc, vpp] : {std::pair{100, 0}, std::pair{0, 120}}) {
        ChipRig rig("AT90S8515", kPar1);
        rig.ctx.device.supplyVoltageCode = static_cast<std::uint8_t>(vcc);
        rig.ctx.device.programmingVoltageCode = static_cast<std::uint8_t>(vpp);
        rig.PowerUp();
        ParLoadCommand(rig.ctx, 0x08);
        ParLoadAddressLow(rig.ctx, 0);
        EXPECT_NE(ParReadByteLow(rig.ctx), 0x1E) << vcc << " " << vpp;
    }
}

}  // namespace
}  // namespace merlinox
