#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/board_control.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;
using Tokens = std::vector<std::string>;

TEST(DetectBoard, FindsAHealthyBoardWithTheProbesAndTheLoopBack) {
    SimLink sim;
    sim.ctx.link.controlLatch = 0x1F;
    sim.ctx.link.powerLatch = 0x81;
    sim.ctx.link.signalLatch = 0x40;
    sim.ctx.link.dataLatch = 0x39;
    EXPECT_EQ(DetectBoard(sim.ctx), 0);
    // The first store is the bare strobe of command 0 with whatever the data register held.
    EXPECT_EQ(sim.Summary(), (Tokens{"00=00", "0C=80", "0E=80", "06=00", "02=00", "00=00", "08=00", "04=00",
                                     "0A=00", "04=00", "08=00", "0A=AA", "0A=AA", "04=00", "08=00", "0A=55",
                                     "04=00", "08=00", "0A=00"}));
    EXPECT_EQ(sim.ctx.link.dataLatch, 0x39);
    EXPECT_EQ(sim.ctx.link.lastControl, 0x0B);
    EXPECT_TRUE(sim.ui.shown.empty());
}

TEST(DetectBoard, NoBoardShowsOneTimeoutAndGivesTen) {
    SimLink sim(sim::BoardFaults{.noBoard = true});
    EXPECT_EQ(DetectBoard(sim.ctx), 10);
    EXPECT_EQ(sim.Timeouts(), 1);
    EXPECT_EQ(sim.ui.shown.size(), 1u);
    EXPECT_EQ(sim.ctx.link.lastControl, 0x01);
}

TEST(DetectBoard, AnswerOnlyInTheLastReadDoesNotCount) {
    for (std::uint32_t polls : {3u, 4u}) {
        SimLink sim(sim::BoardFaults{.slowAckPolls = polls});
        sim.board.WriteControl(0x00);  // ready line up, so the bare strobe has to wait
        sim.board.WriteControl(0x01);
        sim.ctx.link.timeoutCount = 4;
        // The drop on the fourth read comes too late for the three reads that count.
        EXPECT_EQ(DetectBoard(sim.ctx), polls == 4 ? 10 : 0) << polls;
    }
    SimLink once;
    once.ctx.link.timeoutCount = 1;
    EXPECT_EQ(DetectBoard(once.ctx), 10);
}

TEST(DetectBoard, BoardThatAnswersTheStrobeButNotTheProbesGivesEight) {
    for (auto faults : {sim::BoardFaults{.neverReady = true}, sim::BoardFaults{.dieAfter = 2}}) {
        SimLink sim(faults);
        EXPECT_EQ(DetectBoard(sim.ctx), 8);
        EXPECT_EQ(sim.Timeouts(), 1);
    }
}

TEST(DetectBoard, LoopBackFaultsGiveEight) {
    // Bit 0 stuck low still echoes 0xAA but not 0x55; bit 7 stuck high fails the zero.
    for (auto faults : {sim::BoardFaults{.stuckBit = 0, .stuckLevel = false},
                        sim::BoardFaults{.stuckBit = 7, .stuckLevel = true},
                        sim::BoardFaults{.stuckBit = 3, .stuckLevel = false}}) {
        SimLink sim(faults);
        EXPECT_EQ(DetectBoard(sim.ctx), 8);
        EXPECT_TRUE(sim.ui.shown.empty());
    }
}

TEST(DetectBoard, WithoutPortReportsNoBoard) {
    SimLink sim;
    sim.ctx.port = nullptr;
    EXPECT_EQ(DetectBoard(sim.ctx), 10);
}

}  // namespace
}  // namespace merlinox
