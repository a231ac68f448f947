#include "link/transport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/timing.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// Records every register access as "D21 C04 SA8 ..." and answers status reads from the
// board behind it, or from a script while one is left.
class RegisterSpy : public PortAccess {
public:
    explicit RegisterSpy(PortAccess* inner) : inner_(inner) {}
    void WriteData(std::uint8_t v) override {
        Log('D', v);
        if (inner_) inner_->WriteData(v);
    }
    void WriteControl(std::uint8_t v) override {
        Log('C', v);
        if (inner_) inner_->WriteControl(v);
    }
    std::uint8_t ReadStatus() override {
        std::uint8_t s = inner_ ? inner_->ReadStatus() : 0;
        if (reads < script.size()) s = script[reads];
        ++reads;
        Log('S', s);
        return s;
    }
    std::string log;
    std::vector<std::uint8_t> script;
    std::size_t reads = 0;

private:
    void Log(char what, std::uint8_t v) {
        char text[5];
        std::snprintf(text, sizeof text, " %c%02X", what, v);
        log += log.empty() ? text + 1 : text;
    }
    PortAccess* inner_;
};

TEST(SendCommand, WritesDataThenCommandThenStrobeAndKeepsTheAcknowledgingStatus) {
    SimLink sim;
    RegisterSpy spy(&sim.board);
    sim.ctx.port = &spy;
    sim.board.WriteData(0xAA);  // the data latch loops back: low nibble 0xA
    sim.board.WriteControl(CmdData | 1);
    ASSERT_EQ(SendCommand(sim.ctx, CmdSignal, 0x21), 0);
    ASSERT_EQ(SendCommand(sim.ctx, CmdPower, 0x80), 0);
    // The second data byte is written while the first strobe is still set; the next
    // command goes out in the control write that releases it.
    EXPECT_EQ(spy.log, "D21 C04 SA8 C05 S28 D80 C08 SA8 C09 S28");
    EXPECT_EQ(sim.ctx.link.lastControl, 0x09);
    EXPECT_EQ(sim.ctx.link.lastStatus, 0x28);
    EXPECT_TRUE(sim.ui.shown.empty());
}

// Each phase tests the status it read first and timeoutCount - 2 more; the read that
// spends the last unit of the budget is made but not tested.
TEST(SendCommand, TimesOutWithOneMessageAfterTheBudgetOfItsPhase) {
    struct Case {
        sim::BoardFaults faults;
        std::uint32_t timeoutCount;
        int result;
        std::uint8_t lastControl;  // strobe clear after phase 1, set after phase 2
        std::size_t reads;
        bool stored;
    };
    for (const Case c : {
             Case{{.neverReady = true}, 5, 10, 0x0A, 5, false},
             Case{{.neverAcknowledges = true}, 3, 10, 0x0B, 1 + 3, true},
             Case{{.slowAckPolls = 2}, 3, 0, 0x0B, 1 + 2, true},
             Case{{.slowAckPolls = 3}, 3, 10, 0x0B, 1 + 3, true},
             Case{{}, 1, 10, 0x0A, 1, false},  // no budget: even a healthy board fails
             Case{{}, 0, 10, 0x0A, 1, false},  // never set so; must not hang either
         }) {
        SimLink sim(c.faults);
        RegisterSpy spy(&sim.board);
        sim.ctx.port = &spy;
        sim.ctx.link.timeoutCount = c.timeoutCount;
        sim.ctx.link.lastStatus = 0x33;
        EXPECT_EQ(SendCommand(sim.ctx, CmdData, 0x12), c.result) << spy.log;
        EXPECT_EQ(sim.ctx.link.lastControl, c.lastControl) << c.timeoutCount;
        EXPECT_EQ(spy.reads, c.reads) << spy.log;
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
    EXPECT_EQ(Wait1ms(outside.ctx, 1), 9);
    EXPECT_EQ(outside.Timeouts(), 4);

    SimLink inside(sim::BoardFaults{.noBoard = true});
    inside.ctx.link.timeoutCount = 3;
    inside.ctx.link.stopAfterTimeout = true;
    EXPECT_EQ(SendCommand(inside.ctx, CmdAux, 0), 10);
    EXPECT_TRUE(inside.ctx.link.boardLost);
    const auto lostAt = inside.board.Now();
    EXPECT_EQ(SendCommand(inside.ctx, CmdAux, 0), 10);
    EXPECT_EQ(Wait1ms(inside.ctx, 1), 9);
    ReadBoardByte(inside.ctx);
    EXPECT_EQ(inside.board.Now(), lostAt);
    EXPECT_EQ(inside.Timeouts(), 1);
}

TEST(ReadBoardByte, AssemblesTheScrambledNibblesOfTheSignalAndPowerTransfers) {
    struct Case {
        std::uint8_t s1, s2, expected;
    };
    for (const Case c : {Case{0x40, 0x00, 0x01}, Case{0x00, 0x20, 0x80}, Case{0x78, 0x78, 0xFF},
                         Case{0x08, 0x10, 0x42}}) {
        SimLink sim;
        RegisterSpy spy(&sim.board);
        sim.ctx.port = &spy;
        sim.ctx.link.signalLatch = 0x40;
        sim.ctx.link.powerLatch = 0x81;
        spy.script = {0x80, c.s1, 0x80, c.s2};  // ready, acknowledge; ready, acknowledge
        EXPECT_EQ(ReadBoardByte(sim.ctx), c.expected);
        char expected[48];
        std::snprintf(expected, sizeof expected, "D40 C04 S80 C05 S%02X D81 C08 S80 C09 S%02X",
                      c.s1, c.s2);
        EXPECT_EQ(spy.log, expected);
    }
    // A failed transfer leaves lastStatus alone: its nibble repeats the previous one.
    SimLink sim;
    RegisterSpy spy(nullptr);
    sim.ctx.port = &spy;
    sim.ctx.link.timeoutCount = 2;
    sim.ctx.link.lastStatus = 0x40;
    spy.script = {0x00, 0x00, 0x80, 0x20};  // the first transfer never gets ready
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0x81);
    EXPECT_EQ(sim.Timeouts(), 1);
}

}  // namespace
}  // namespace merlinox
