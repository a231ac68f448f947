#include "sim/board_sim.h"

#include <gtest/gtest.h>

#include <string>

#include "link/board_control.h"
#include "link/transport.h"
#include "sim/fault.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// Either supply switch connects VCC; the programming voltage goes on RESET through bit 4
// or through both switches together, otherwise RESET follows its data line.
TEST(SimBoardSocket, PowerSwitchesAndVppRoutingPerWiring) {
    SimLink sim;
    sim.ctx.link.vccCode = 100;
    sim.ctx.link.vppCode = 120;
    SetVoltages(sim.ctx);
    struct Case {
        std::uint8_t power, data;
        unsigned vcc, reset;
    };
    for (const Case c :
         {Case{0x80, 0x00, 5000, 0}, Case{0x90, 0x00, 5000, 12000}, Case{0x81, 0x00, 5000, 12000},
          Case{0x01, 0x01, 5000, 5000}, Case{0x10, 0x00, 0, 12000}, Case{0x00, 0x01, 0, 0}}) {
        SendCommand(sim.ctx, CmdData, c.data);
        SendCommand(sim.ctx, CmdPower, c.power);
        EXPECT_EQ(sim.board.Drive().vccMillivolts, c.vcc) << int(c.power);
        EXPECT_EQ(sim.board.Drive().resetMillivolts, c.reset) << int(c.power) << " " << int(c.data);
    }
}

TEST(SimBoardFaults, ParsesEveryFaultAndRejectsTheRest) {
    sim::BoardFaults f;
    std::string error;
    for (const char* ok : {"no-board", "no-ready", "no-ack", "die-after=12", "miss-ack=5",
                           "slow-ack=3", "stuck-bit=7:1"}) {
        EXPECT_TRUE(sim::ParseFault(ok, f, error)) << ok;
    }
    EXPECT_TRUE(f.noBoard && f.neverReady && f.neverAcknowledges && f.stuckLevel);
    EXPECT_EQ(f.slowAckPolls, 3u);
    EXPECT_EQ(f.missAck, 5u);
    for (const char* bad : {"no-board=1", "die-after=0", "miss-ack=x", "stuck-bit=1:2", "slow"}) {
        sim::BoardFaults g;
        EXPECT_FALSE(sim::ParseFault(bad, g, error)) << bad;
        EXPECT_EQ(g.stuckBit, -1);
        EXPECT_NE(error.find("unknown board fault"), std::string::npos);
    }
}

}  // namespace
}  // namespace merlinox
