#include "link/transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// Records every register access to the board behind it as "D21 C04 SA8 ...".
class RegisterSpy : public PortAccess {
public:
    explicit RegisterSpy(PortAccess* inner) : inner_(inner) {}
    void WriteData(std::uint8_t v) override {
        Log('D', v);
        inner_->WriteData(v);
    }
    void WriteControl(std::uint8_t v) override {
        Log('C', v);
        inner_->WriteControl(v);
    }
    std::uint8_t ReadStatus() override {
        const std::uint8_t s = inner_->ReadStatus();
        Log('S', s);
        return s;
    }
    std::string log;

private:
    void Log(char what, std::uint8_t v) {
        char text[5];
        std::snprintf(text, sizeof text, " %c%02X", what, v);
        log += log.empty() ? text + 1 : text;
    }
    PortAccess* inner_;
};

// ReadBoardByte is two transfers, the signal and the power latch, each acknowledged with
// a status that carries one nibble of the data lines (here the looped-back 0xAA).
TEST(SendCommand, WritesDataThenCommandThenStrobeAndKeepsTheAcknowledgingStatus) {
    SimLink sim;
    RegisterSpy spy(&sim.board);
    sim.ctx.port = &spy;
    sim.board.WriteData(0xAA);
    sim.board.WriteControl(CmdData | 1);
    sim.ctx.link.signalLatch = 0x21;
    sim.ctx.link.powerLatch = 0x80;
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0xAA);
    // The second data byte is written while the first strobe is still set; the next
    // command goes out in the control write that releases it.
    EXPECT_EQ(spy.log, "D21 C04 SA8 C05 S28 D80 C08 SA8 C09 S28");
    EXPECT_EQ(sim.ctx.link.lastStatus, 0x28);
}

// Each phase tests the status it read first and timeoutCount - 2 more; the read that
// spends the last unit of the budget is made but not tested.
TEST(SendCommand, TimesOutWithOneMessageAfterTheBudgetOfItsPhase) {
    struct Case {
        sim::BoardFaults faults;
        std::uint32_t timeoutCount;
        int result;
        std::uint8_t lastControl;  // strobe clear after phase 1, set after phase 2
        long reads;
        bool stored;
    };
    for (const Case& c : {
             Case{{.neverReady = true}, 5, 10, 0x0A, 5, false},
             Case{{.slowAckPolls = 2}, 3, 0, 0x0B, 1 + 2, true},
             Case{{.slowAckPolls = 3}, 3, 10, 0x0B, 1 + 3, true},
             Case{{}, 0, 10, 0x0A, 1, false},  // no budget: even a healthy board fails
         }) {
        SimLink sim(c.faults);
        RegisterSpy spy(&sim.board);
        sim.ctx.port = &spy;
        sim.ctx.link.timeoutCount = c.timeoutCount;
        sim.ctx.link.lastStatus = 0x33;
        EXPECT_EQ(SendCommand(sim.ctx, CmdData, 0x12), c.result) << spy.log;
        EXPECT_EQ(sim.ctx.link.lastControl, c.lastControl) << c.timeoutCount;
        EXPECT_EQ(std::count(spy.log.begin(), spy.log.end(), 'S'), c.reads) << spy.log;
        EXPECT_EQ(sim.log.size(), c.stored ? 1u : 0u);
        EXPECT_EQ(sim.Timeouts(), c.result == 0 ? 0 : 1);
        if (c.result != 0) {
            EXPECT_EQ(sim.ctx.link.lastStatus, 0x33);
        }
    }
    SimLink portless;
    portless.ctx.port = nullptr;
    EXPECT_EQ(SendCommand(portless.ctx, CmdAux, 0), 10);
    EXPECT_EQ(portless.Timeouts(), 1);
}

// Outside an operation every failed transfer polls and shows its message, whatever an
// earlier operation left behind; inside one the first timeout marks the board lost and
// the rest of the operation's transfers fail at once, silently, without port access.
TEST(SendCommand, OnlyInsideAnOperationDoesTheFirstTimeoutSilenceTheRest) {
    SimLink outside(sim::BoardFaults{.noBoard = true});
    outside.ctx.link.timeoutCount = 3;
    outside.ctx.link.boardLost = true;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SendCommand(outside.ctx, CmdAux, 0), 10);
    EXPECT_EQ(outside.Timeouts(), 3);

    SimLink inside(sim::BoardFaults{.noBoard = true});
    inside.ctx.link.timeoutCount = 3;
    inside.ctx.link.stopAfterTimeout = true;
    EXPECT_EQ(SendCommand(inside.ctx, CmdAux, 0), 10);
    EXPECT_TRUE(inside.ctx.link.boardLost);
    const auto lostAt = inside.board.Now();
    EXPECT_EQ(SendCommand(inside.ctx, CmdAux, 0), 10);
    EXPECT_EQ(inside.board.Now(), lostAt);
    EXPECT_EQ(inside.Timeouts(), 1);
}

}  // namespace
}  // namespace merlinox
