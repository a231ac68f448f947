#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;
using testing::Store;
using testing::Volts;
using Tokens = std::vector<std::string>;

TEST(SetVoltages, ShiftsVccFirstMsbFirstAndLoadsBothCodes) {
    SimLink sim;
    sim.ctx.link.vccCode = 0x80;
    sim.ctx.link.vppCode = 0x01;
    SetVoltages(sim.ctx);
    ASSERT_EQ(sim.log.size(), 51u);
    // The data line is high on the first and the sixteenth clock only.
    std::vector<int> highClocks;
    for (std::size_t i = 0; i < sim.log.size(); ++i) {
        if ((sim.log[i].data & 0x01) && (sim.log[i].data & 0x02)) highClocks.push_back(static_cast<int>(i / 3));
    }
    EXPECT_EQ(highClocks, (std::vector<int>{0, 15}));
    EXPECT_EQ(sim.board.Latches().VccCode(), 0x80);
    EXPECT_EQ(sim.board.Latches().VppCode(), 0x01);
    EXPECT_EQ(sim.Summary(), Tokens{Volts(128, 1)});
    EXPECT_EQ(sim.ctx.link.signalLatch, 0);
}

TEST(SetVoltages, KeepsTheOtherSignalBits) {
    SimLink sim;
    sim.ctx.link.signalLatch = 0x40;
    sim.ctx.link.vccCode = 100;
    sim.ctx.link.vppCode = 120;
    SetVoltages(sim.ctx);
    for (const auto& w : sim.log) EXPECT_EQ(w.data & 0xF8, 0x40);
    EXPECT_EQ(sim.board.Drive().oe, true);
}

TEST(BoardInit, BringsEveryLatchAndBothVoltagesToIdleKeepingPowerBitSix) {
    SimLink sim;
    sim.ctx.link = {};
    sim.ctx.link.timeoutCount = 1000;
    sim.ctx.link.signalLatch = 0x60;
    sim.ctx.link.powerLatch = 0xFF;
    sim.ctx.link.controlLatch = 0xFF;
    sim.ctx.link.vppCode = 77;
    BoardInit(sim.ctx);
    EXPECT_EQ(sim.Summary(), (Tokens{"04=40", "00=00", "02=00", "06=00", "0A=00", Volts(0, 77), Volts(0, 0),
                                     "08=C0", "00=0F", "08=40"}));
    EXPECT_EQ(sim.ctx.link.controlLatch, 0x0F);
    EXPECT_EQ(sim.ctx.link.powerLatch, 0x40);
}

TEST(BoardOff, SwitchesProgrammingVoltageBeforeSupplyAndClearsTheControlLatch) {
    SimLink sim;
    sim.ctx.link.signalLatch = 0x20;
    sim.ctx.link.powerLatch = 0x91;
    sim.ctx.link.controlLatch = 0x1D;
    sim.ctx.link.vccCode = 100;
    sim.ctx.link.vppCode = 120;
    BoardOff(sim.ctx);
    EXPECT_EQ(sim.Summary(), (Tokens{"04=00", "08=80", Volts(100, 0), "00=10", "02=00", "0A=00", "06=00",
                                     "00=00", "08=00", Volts(0, 0)}));
    EXPECT_EQ(sim.ctx.link.controlLatch, 0);
    EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);
}

TEST(SendReset, HoldsResetLowForOneSecondBetweenTheClockLatchWrites) {
    SimLink sim;
    sim.ctx.link.dataLatch = 0x39;
    SendReset(sim.ctx);
    EXPECT_EQ(sim.Summary(), (Tokens{"06=02", "0A=38", testing::DelayMs(1000), "0A=39", "06=00"}));
    const auto low = sim.log[1].time;
    const auto high = sim.log[sim.log.size() - 2].time;
    EXPECT_NEAR(static_cast<double>(high - low) / 1e6, 1000.0, 5.0);
}

}  // namespace
}  // namespace merlinox
