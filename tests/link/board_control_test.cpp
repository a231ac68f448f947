#include "link/board_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;
using testing::Volts;
using Tokens = std::vector<std::string>;

TEST(BoardInit, BringsEveryLatchAndBothVoltagesToIdleKeepingPowerBitSix) {
    SimLink sim;
    sim.ctx.link.signalLatch = 0x60;
    sim.ctx.link.powerLatch = 0xFF;
    sim.ctx.link.controlLatch = 0xFF;
    sim.ctx.link.vppCode = 77;
    BoardInit(sim.ctx);
    EXPECT_EQ(sim.Summary(), (Tokens{"04=40", "00=00", "02=00", "06=00", "0A=00", Volts(0, 77),
                                     Volts(0, 0), "08=C0", "00=0F", "08=40"}));
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
    EXPECT_EQ(sim.Summary(), (Tokens{"04=00", "08=80", Volts(100, 0), "00=10", "02=00", "0A=00",
                                     "06=00", "00=00", "08=00", Volts(0, 0)}));
    EXPECT_EQ(sim.ctx.link.controlLatch, 0);
}

TEST(SendReset, HoldsResetLowForOneSecondBetweenTheClockLatchWrites) {
    SimLink sim;
    sim.ctx.link.dataLatch = 0x39;
    SendReset(sim.ctx);
    EXPECT_EQ(sim.Summary(), (Tokens{"06=02", "0A=38", testing::DelayMs(1000), "0A=39", "06=00"}));
}

TEST(DetectBoard, FindsAHealthyBoardWithTheProbesAndTheLoopBack) {
    SimLink sim;
    sim.ctx.link.controlLatch = 0x1F;
    sim.ctx.link.powerLatch = 0x81;
    sim.ctx.link.signalLatch = 0x40;
    sim.ctx.link.dataLatch = 0x39;
    EXPECT_EQ(DetectBoard(sim.ctx), 0);
    // The first store is the bare strobe of command 0 with whatever the data register held.
    EXPECT_EQ(sim.Summary(), (Tokens{"00=00", "0C=80", "0E=80", "06=00", "02=00", "00=00", "08=00",
                                     "04=00", "0A=00", "04=00", "08=00", "0A=AA", "0A=AA", "04=00",
                                     "08=00", "0A=55", "04=00", "08=00", "0A=00"}));
    EXPECT_EQ(sim.ctx.link.dataLatch, 0x39);  // the loop-back stores leave the shadow alone
    EXPECT_TRUE(sim.ui.shown.empty());
}

// 10 with one timeout message when not even the bare strobe is answered within the first
// timeoutCount - 1 reads; 8 when a board answered but a probe or the loop-back failed.
TEST(DetectBoard, TellsNoBoardFromAWrongOne) {
    struct Case {
        const char* what;
        sim::BoardFaults faults;
        std::uint32_t timeoutCount;
        int result, timeouts;
    };
    for (const Case c : {
             Case{"answer in the 3rd of 4 reads", {.slowAckPolls = 3}, 4, 0, 0},
             Case{"answer in the untested 4th read", {.slowAckPolls = 4}, 4, 10, 1},
             Case{"probe never ready", {.neverReady = true}, 1000, 8, 1},
             Case{"line 7 stuck high", {.stuckBit = 7, .stuckLevel = true}, 1000, 8, 0},
         }) {
        SimLink sim(c.faults);
        sim.ctx.link.timeoutCount = c.timeoutCount;
        EXPECT_EQ(DetectBoard(sim.ctx), c.result) << c.what;
        EXPECT_EQ(sim.Timeouts(), c.timeouts) << c.what;
        if (c.result == 10) {
            EXPECT_EQ(sim.ctx.link.lastControl, 0x01) << c.what;
        }
    }
    SimLink portless;
    portless.ctx.port = nullptr;
    EXPECT_EQ(DetectBoard(portless.ctx), 10);
    EXPECT_EQ(portless.Timeouts(), 1);
}

}  // namespace
}  // namespace merlinox
