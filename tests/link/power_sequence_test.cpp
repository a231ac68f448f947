#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::DelayMs;
using testing::SimLink;
using testing::Volts;
using Tokens = std::vector<std::string>;

// Stands in for the serial synchronisation: a marker store shows whether and where it ran.
int MarkSync(LinkContext& ctx) { return SendCommand(ctx, CmdProbeC, 0x5A); }

// A board after BoardInit with the device of the test in the record.
struct Powered : SimLink {
    Powered(std::int32_t mode, std::uint8_t vcc = 100, std::uint32_t code = 0x9307) {
        ctx.link.spiSync = MarkSync;
        ctx.device.programmingMode = mode;
        ctx.device.supplyVoltageCode = vcc;
        ctx.device.programmingVoltageCode = 120;
        ctx.device.deviceCode = code;
        BoardInit(ctx);
        ClearLog();
    }
};

Tokens Join(Tokens a, const Tokens& b, const Tokens& c = {}) {
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), c.begin(), c.end());
    return a;
}

const Tokens kCommon = {"0A=00", "06=00", "02=00", "00=00", "08=00", "00=00", "08=00", Volts(0, 0)};

TEST(PowerOn, ParallelModesRaiseSupplyThenOeAndWrThenVppOnReset) {
    for (std::int32_t mode : {kPar1, kPar2}) {
        Powered sim(mode);
        PowerOn(sim.ctx);
        EXPECT_EQ(sim.Summary(),
                  Join(kCommon, {Volts(0, 120), Volts(100, 120), "08=80", DelayMs(300), "04=40",
                                 "00=01", DelayMs(1), "08=90", DelayMs(1)}));
    }
}

TEST(PowerOn, HighVoltageSerialGivesEntryClocksOnlyToTheChipsThatNeedThem) {
    Tokens clocks;
    for (int i = 0; i < 10; ++i) clocks.insert(clocks.end(), {"0A=03", "0A=00"});
    const Tokens head =
        Join(kCommon, {Volts(0, 120), Volts(100, 120), DelayMs(300), "08=80", DelayMs(1)});
    // Device code and FUSED0, and whether the entry clocks are given.
    for (const auto& [code, fuseD0, clocked] : {std::tuple{0x9004u, 0u, true},
                                                {0x9103u, 1u, true},
                                                {0x9103u, 0u, false},
                                                {0x9006u, 1u, false}}) {
        for (std::int32_t mode : {kPar3, kPar4}) {
            Powered sim(mode, 100, code);
            sim.ctx.device.fuseD0 = fuseD0;
            PowerOn(sim.ctx);
            EXPECT_EQ(sim.Summary(),
                      Join(head, clocked ? clocks : Tokens{}, {DelayMs(1), "08=81", DelayMs(1)}))
                << std::hex << code;
        }
    }
}

TEST(PowerOn, SerialModesHoldResetAndSckLowWhileTheSupplyComesUpThenSynchronise) {
    for (std::int32_t mode : {kSpi1, kSpi2, kMspi1, kMspi2}) {
        Powered sim(mode, 66);
        sim.ctx.link.dataLatch = 0x39;
        PowerOn(sim.ctx);
        Tokens expected =
            Join(kCommon, {"08=01", "0A=00", "0A=00", "00=10", Volts(66, 0), DelayMs(500)});
        // Only the variants in socket 1 drive the clock latch; its shadow stays 0.
        if (mode == kSpi1 || mode == kMspi1) expected.push_back("06=02");
        expected.insert(expected.end(), {DelayMs(100), "0C=5A"});
        EXPECT_EQ(sim.Summary(), expected) << mode;
        EXPECT_EQ(sim.ctx.link.clockLatch, 0);
    }
}

Tokens Ramp(unsigned from, unsigned vpp) {
    Tokens t;
    for (unsigned v = from; v >= 1; --v) t.insert(t.end(), {Volts(v, vpp), DelayMs(10)});
    return t;
}

TEST(PowerOff, EachFamilyTakesTheChipDownInItsOrderWithTheSupplyRamp) {
    // VPP first, the ramp ends at code 1 (BoardOff sets 0), the supply switch last.
    const Tokens parallel = Join({"04=40", "08=80", Volts(3, 0), "0A=00", "06=00", "00=01"},
                                 Ramp(3, 0), {"00=01", "08=00", DelayMs(600)});
    // VPP off RESET before the ramp.
    const Tokens highVoltage = Join({"0A=00", "08=80"}, Ramp(2, 120),
                                    {Volts(0, 120), Volts(0, 0), "00=00", "08=00", DelayMs(600)});
    // A RESET pulse, then 100 steps 10 ms apart, then out of serial mode.
    const Tokens serial =
        Join({"0A=00", "06=00", "00=00", DelayMs(100), "0A=01", DelayMs(100), "0A=00"},
             Ramp(100, 0), {Volts(0, 0), "00=00", "08=00"});
    // Mode, supply code and the expected stores.
    for (const auto& [mode, vcc, expected] :
         {std::tuple{kPar2, 3, parallel}, {kPar4, 2, highVoltage}, {kMspi1, 100, serial}}) {
        Powered sim(mode, static_cast<std::uint8_t>(vcc));
        PowerOn(sim.ctx);
        sim.ctx.link.dataLatch = 0x18;  // serial lines as the last transfer left them
        sim.ClearLog();
        PowerOff(sim.ctx);
        EXPECT_EQ(sim.Summary(), expected) << mode;
        EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);
        EXPECT_EQ(sim.board.Drive().resetMillivolts, 0u);
    }
}

}  // namespace
}  // namespace merlinox
