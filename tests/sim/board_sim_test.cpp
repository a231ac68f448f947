#include "sim/board_sim.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "sim/fault.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// A chip that drives the lines given to it once its supply is up, and remembers what
// the socket showed it.
class LineChip : public sim::SocketChip {
public:
    void OnDrive(const sim::SocketDrive& drive, sim::SimTime now) override {
        seen.push_back(drive);
        times.push_back(now);
    }
    sim::SocketSense Sense(sim::SimTime) override {
        if (seen.empty() || seen.back().vccMillivolts < 1800) return {};
        return {mask, value};
    }
    std::uint8_t mask = 0;
    std::uint8_t value = 0xFF;
    std::vector<sim::SocketDrive> seen;
    std::vector<sim::SimTime> times;
};

TEST(SimBoardHandshake, ReadyOnControlWriteAcknowledgeOnStrobeWithTheSelectedNibble) {
    sim::SimBoard board;
    EXPECT_EQ(board.ReadStatus() & 0x80, 0);  // idle: a bare strobe is answered at once
    board.WriteData(0xC5);
    board.WriteControl(0x0A);
    EXPECT_EQ(board.ReadStatus() & 0x80, 0x80);
    board.WriteControl(0x0B);
    EXPECT_EQ(board.Latches().Latch(0x0A), 0xC5);
    // The empty socket loops 0xC5 back: 0x04 shows the low nibble 0x5 (lines 0 and 2 on
    // status bits 6 and 4), 0x08 the high nibble 0xC (lines 6 and 7 on bits 4 and 5).
    for (const auto& [command, status] : {std::pair{0x04, 0x50}, std::pair{0x08, 0x30}}) {
        board.WriteData(0x00);
        board.WriteControl(static_cast<std::uint8_t>(command));
        board.WriteControl(static_cast<std::uint8_t>(command | 1));
        EXPECT_EQ(board.ReadStatus(), status) << command;
    }
    EXPECT_EQ(board.Acknowledged(), 3u);
}

TEST(SimBoardTime, OrdinaryTransfersTakeFiveMicrosecondsDelayTransfersEightyFive) {
    SimLink sim;
    SendCommand(sim.ctx, CmdSignal, 0x00);
    EXPECT_EQ(sim.board.Now(), 5000u);
    SendCommand(sim.ctx, CmdSignal, 0x20);
    EXPECT_EQ(sim.board.Now(), 90000u);
    SendCommand(sim.ctx, CmdData, 0x20);  // bit 5 elsewhere is no delay
    EXPECT_EQ(sim.board.Now(), 95000u);
}

TEST(SimBoardSocket, PowerSwitchesAndVppRoutingPerWiring) {
    SimLink sim;
    LineChip chip;
    sim.board.Insert(&chip);
    ASSERT_EQ(chip.seen.size(), 1u);
    sim.ctx.link.vccCode = 100;
    sim.ctx.link.vppCode = 120;
    SetVoltages(sim.ctx);
    EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);  // regulators set, nothing switched
    struct Case {
        std::uint8_t power, data;
        unsigned vcc, reset;
    };
    for (const Case c :
         {Case{0x80, 0x00, 5000, 0}, Case{0x90, 0x00, 5000, 12000}, Case{0x81, 0x00, 5000, 12000},
          Case{0x01, 0x00, 5000, 0}, Case{0x01, 0x01, 5000, 5000}, Case{0x80, 0x01, 5000, 5000},
          Case{0x10, 0x00, 0, 12000}, Case{0x00, 0x01, 0, 0}}) {
        SendCommand(sim.ctx, CmdData, c.data);
        SendCommand(sim.ctx, CmdPower, c.power);
        EXPECT_EQ(chip.seen.back().vccMillivolts, c.vcc) << int(c.power);
        EXPECT_EQ(chip.seen.back().resetMillivolts, c.reset) << int(c.power) << " " << int(c.data);
    }
    SendCommand(sim.ctx, CmdControl, 0x0F);
    SendCommand(sim.ctx, CmdClock, 0x01);
    sim.ctx.link.signalLatch = 0x40;
    SendCommand(sim.ctx, CmdSignal, 0x40);
    const auto& d = chip.seen.back();
    EXPECT_TRUE(d.wr && d.bs && d.xa0 && d.xa1 && d.xtal1 && d.oe);
    EXPECT_EQ(chip.times.back(), sim.board.Now() - 1000);  // heard at the strobe
}

TEST(SimBoardSocket, ReadBackIsTheDataLatchAndedWithWhatThePoweredChipDrives) {
    SimLink sim;
    LineChip chip;
    chip.mask = 0x30;
    chip.value = 0x20;  // drives line 5 high and line 4 low
    sim.board.Insert(&chip);
    sim.ctx.link.dataLatch = 0xFF;
    SendCommand(sim.ctx, CmdData, 0xFF);
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0xFF);  // unpowered chip drives nothing
    sim.ctx.link.vccCode = 100;
    SetVoltages(sim.ctx);
    sim.ctx.link.powerLatch = 0x01;
    SendCommand(sim.ctx, CmdPower, 0x01);
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0xEF);
    sim.ctx.link.dataLatch = 0xDF;  // the board pulls line 5 low itself: wired AND
    SendCommand(sim.ctx, CmdData, 0xDF);
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0xCF);
}

TEST(SimBoardFaults, ParsesEveryFaultAndRejectsTheRest) {
    sim::BoardFaults f;
    std::string error;
    for (const char* ok :
         {"no-board", "no-ready", "no-ack", "die-after=12", "slow-ack=3", "stuck-bit=7:1"}) {
        EXPECT_TRUE(sim::ParseFault(ok, f, error)) << ok;
    }
    EXPECT_TRUE(f.noBoard && f.neverReady && f.neverAcknowledges && f.stuckLevel);
    EXPECT_EQ(f.dieAfter, 12u);
    EXPECT_EQ(f.slowAckPolls, 3u);
    EXPECT_EQ(f.stuckBit, 7);
    for (const char* bad :
         {"", "no-board=1", "die-after=0", "die-after=", "die-after=x", "stuck-bit=8:1",
          "stuck-bit=1:2", "stuck-bit=1", "slow-ack=-1", "slow", "stuck-bit=1:1x"}) {
        sim::BoardFaults g;
        EXPECT_FALSE(sim::ParseFault(bad, g, error)) << bad;
        EXPECT_EQ(g.stuckBit, -1);
        EXPECT_NE(error.find("unknown board fault"), std::string::npos);
    }
}

}  // namespace
}  // namespace merlinox
