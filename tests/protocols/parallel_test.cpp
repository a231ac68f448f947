#include "protocols/parallel.h"

#include <gtest/gtest.h>

#include <utility>

#include "link/timing.h"
#include "protocols/chip_rig.h"

namespace merlinox {
namespace {

using testing::ChipRig;

// A word write is fifteen transfers and a word read nine; too short a delay loses the
// high byte, and the read-back shows it.
TEST(Parallel, WordTransfersAndTooShortADelayShowInTheReadBack) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 0;
    ParLoadCommand(rig.ctx, 0x10);
    ParLoadAddress(rig.ctx, 0x40);
    rig.ClearLog();
    ParWriteWord(rig.ctx, 0x1234);
    EXPECT_EQ(rig.log.size(), 15u);
    Wait100us(rig.ctx, 100);
    ParLoadCommand(rig.ctx, 0x02);
    ParLoadAddress(rig.ctx, 0x40);
    rig.ClearLog();
    EXPECT_EQ(ParReadWord(rig.ctx), 0xFF34);
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

// The board decodes its latches with its own wiring table. A PC side that names one of
// its bits wrongly disagrees with that table; a copy of the table with the bits swapped
// stands for such a mistake, and a short parallel run must then fail.
TEST(Parallel, ARunFailsWhenThePcSideAndTheBoardDisagreeOnABit) {
    const auto programs = [](const sim::BoardWiring& wiring) {
        ChipRig rig("AT90S2313", kPar1, {}, wiring);
        rig.PowerUp();
        ParLoadCommand(rig.ctx, 0x08);
        ParLoadAddressLow(rig.ctx, 1);
        bool good = ParReadByteLow(rig.ctx) == 0x91;
        ParLoadCommand(rig.ctx, 0x10);
        for (std::uint16_t w = 0; w < 4; ++w) {
            ParLoadAddress(rig.ctx, w);
            ParWriteWord(rig.ctx, static_cast<std::uint16_t>(0x1357 * (w + 1)));
        }
        ParLoadCommand(rig.ctx, 0x02);
        for (std::uint16_t w = 0; w < 4; ++w) {
            ParLoadAddress(rig.ctx, w);
            good = good && ParReadWord(rig.ctx) == static_cast<std::uint16_t>(0x1357 * (w + 1));
        }
        return good;
    };
    EXPECT_TRUE(programs(sim::kBoardWiring));
    const auto swapped = [](std::uint8_t sim::BoardWiring::*a, std::uint8_t sim::BoardWiring::*b) {
        sim::BoardWiring wiring = sim::kBoardWiring;
        std::swap(wiring.*a, wiring.*b);
        return wiring;
    };
    using W = sim::BoardWiring;
    EXPECT_FALSE(programs(swapped(&W::xa0, &W::xa1))) << "XA0 and XA1";
    EXPECT_FALSE(programs(swapped(&W::bs, &W::wr))) << "BS and WR";
    sim::BoardWiring status = sim::kBoardWiring;
    std::swap(status.statusOfLine[1], status.statusOfLine[2]);
    EXPECT_FALSE(programs(status)) << "read-back lines 1 and 2";
}

}  // namespace
}  // namespace merlinox
