#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/board_control.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::DelayMs;
using testing::SimLink;
using testing::Volts;
using Tokens = std::vector<std::string>;

// A board after BoardInit with the device of the test in the record. The sequences are
// looked at on their own: the serial synchronisation that ends PowerOn is left out.
struct Powered : SimLink {
    Powered(std::int32_t mode, std::uint8_t vcc = 100, std::uint8_t vpp = 120, std::uint32_t code = 0x9307) {
        ctx.link.spiSync = nullptr;
        ctx.device.programmingMode = mode;
        ctx.device.supplyVoltageCode = vcc;
        ctx.device.programmingVoltageCode = vpp;
        ctx.device.deviceCode = code;
        BoardInit(ctx);
        ClearLog();
    }
};

Tokens Common(unsigned vppBefore = 0) {
    return {"0A=00", "06=00", "02=00", "00=00", "08=00", "00=00", "08=00", Volts(0, vppBefore)};
}

Tokens Join(Tokens a, const Tokens& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(PowerOn, ParallelModesRaiseSupplyThenOeAndWrThenVppOnReset) {
    for (std::int32_t mode : {kPar1, kPar2}) {
        Powered sim(mode);
        PowerOn(sim.ctx);
        EXPECT_EQ(sim.Summary(), Join(Common(), {Volts(0, 120), Volts(100, 120), "08=80", DelayMs(300), "04=40",
                                                 "00=01", DelayMs(1), "08=90", DelayMs(1)}));
        const auto& drive = sim.board.Drive();
        EXPECT_EQ(drive.vccMillivolts, 5000u);
        EXPECT_EQ(drive.resetMillivolts, 12000u);
        EXPECT_TRUE(drive.oe);
        EXPECT_TRUE(drive.wr);
        EXPECT_TRUE(sim.ui.shown.empty());
    }
}

TEST(PowerOn, HighVoltageSerialGivesEntryClocksOnlyToTheChipsThatNeedThem) {
    Tokens clocks;
    for (int i = 0; i < 10; ++i) clocks.insert(clocks.end(), {"0A=03", "0A=00"});
    struct Case {
        std::uint32_t code;
        std::uint8_t fuseD0;
        bool clocked;
    };
    for (const Case c : {Case{0x9004, 0, true}, Case{0x9005, 0, true}, Case{0x9007, 0, true},
                         Case{0x9102, 0, true}, Case{0x9103, 1, true}, Case{0x9103, 0, false},
                         Case{0x9103, 2, false}, Case{0x9006, 1, false}}) {
        for (std::int32_t mode : {kPar3, kPar4}) {
            Powered sim(mode, 100, 120, c.code);
            sim.ctx.device.fuseD0 = c.fuseD0;
            PowerOn(sim.ctx);
            Tokens expected = Join(Common(), {Volts(0, 120), Volts(100, 120), DelayMs(300), "08=80", DelayMs(1)});
            if (c.clocked) expected = Join(expected, clocks);
            expected = Join(expected, {DelayMs(1), "08=81", DelayMs(1)});
            EXPECT_EQ(sim.Summary(), expected) << std::hex << c.code;
            EXPECT_EQ(sim.board.Drive().resetMillivolts, 12000u);
            EXPECT_EQ(sim.board.Drive().vccMillivolts, 5000u);
        }
    }
}

TEST(PowerOn, SerialModesHoldResetAndSckLowWhileTheSupplyComesUp) {
    for (std::int32_t mode : {kSpi1, kSpi2, kMspi1, kMspi2}) {
        Powered sim(mode, 66);
        sim.ctx.link.dataLatch = 0x39;
        PowerOn(sim.ctx);
        Tokens expected = Join(Common(), {"08=01", "0A=00", "0A=00", "00=10", Volts(66, 0), DelayMs(500)});
        // Only the variants in socket 1 drive the clock latch; its shadow stays 0.
        if (mode == kSpi1 || mode == kMspi1) expected.push_back("06=02");
        expected.push_back(DelayMs(100));
        EXPECT_EQ(sim.Summary(), expected) << mode;
        EXPECT_EQ(sim.ctx.link.clockLatch, 0);
        EXPECT_EQ(sim.board.Drive().vccMillivolts, 3300u);
        EXPECT_EQ(sim.board.Drive().resetMillivolts, 0u);
    }
}

int CountingSync(Context& ctx) {
    ctx.link.vppCode = 0xEE;  // a visible trace that the hook ran
    return 7;
}

TEST(PowerOn, SerialModesEndWithTheSynchronisationHook) {
    Powered sim(kMspi2);
    sim.ctx.link.spiSync = CountingSync;
    PowerOn(sim.ctx);
    EXPECT_EQ(sim.ctx.link.vppCode, 0xEE);
    EXPECT_TRUE(sim.ui.shown.empty());  // the synchronisation reports its own failure
    Powered par(kPar1);
    par.ctx.link.spiSync = CountingSync;
    PowerOn(par.ctx);
    EXPECT_EQ(par.ctx.link.vppCode, 120);
}

TEST(PowerOn, UnknownModeWarnsAndStillRunsTheCommonSteps) {
    Powered sim(0);
    PowerOn(sim.ctx);
    EXPECT_EQ(sim.Summary(), Common());
    EXPECT_EQ(sim.ui.Texts(), Tokens{"Programmiermodus fehlt in PowerOn()"});
    Powered off(9);
    PowerOff(off.ctx);
    EXPECT_TRUE(off.log.empty());
    EXPECT_EQ(off.ui.Texts(), Tokens{"Programmiermodus fehlt in PowerOff()"});
}

Tokens Ramp(unsigned from, unsigned vpp) {
    Tokens t;
    for (unsigned v = from; v >= 1; --v) t.insert(t.end(), {Volts(v, vpp), DelayMs(10)});
    return t;
}

TEST(PowerOff, ParallelModesDropVppFirstAndRampTheSupplyDown) {
    for (std::int32_t mode : {kPar1, kPar2}) {
        Powered sim(mode, 3);
        PowerOn(sim.ctx);
        sim.ClearLog();
        PowerOff(sim.ctx);
        Tokens expected = {"04=40", "08=80", Volts(3, 0), "0A=00", "06=00", "00=01"};
        expected = Join(expected, Ramp(3, 0));
        expected = Join(expected, {"00=01", "08=00", DelayMs(600)});
        EXPECT_EQ(sim.Summary(), expected);
        EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);
        EXPECT_EQ(sim.ctx.link.vccCode, 1);  // BoardOff sets 0 afterwards
    }
}

TEST(PowerOff, HighVoltageSerialTakesVppOffResetBeforeTheRamp) {
    for (std::int32_t mode : {kPar3, kPar4}) {
        Powered sim(mode, 2, 120, 0x9006);
        PowerOn(sim.ctx);
        sim.ClearLog();
        PowerOff(sim.ctx);
        Tokens expected = Join({"0A=00", "08=80"}, Ramp(2, 120));
        expected = Join(expected, {Volts(0, 120), Volts(0, 0), "00=00", "08=00", DelayMs(600)});
        EXPECT_EQ(sim.Summary(), expected);
        EXPECT_EQ(sim.board.Drive().resetMillivolts, 0u);
    }
}

TEST(PowerOff, SerialModesPulseResetThenRampAndLeaveSerialMode) {
    for (std::int32_t mode : {kSpi1, kSpi2, kMspi1, kMspi2}) {
        Powered sim(mode, 2);
        PowerOn(sim.ctx);
        sim.ctx.link.dataLatch = 0x18;  // MOSI and MISO left as a transfer left them
        sim.ClearLog();
        PowerOff(sim.ctx);
        Tokens expected = {"0A=00", "06=00", "00=00", DelayMs(100), "0A=01", DelayMs(100), "0A=00"};
        expected = Join(expected, Ramp(2, 0));
        expected = Join(expected, {Volts(0, 0), "00=00", "08=00"});
        EXPECT_EQ(sim.Summary(), expected);
        EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);
    }
}

TEST(PowerOff, SupplyOfOneHundredTakesOneHundredStepsTenMillisecondsApart) {
    Powered sim(kSpi2, 100);
    PowerOn(sim.ctx);
    sim.ClearLog();
    PowerOff(sim.ctx);
    const Tokens summary = sim.Summary();
    const Tokens ramp = Ramp(100, 0);
    ASSERT_GE(summary.size(), 7 + ramp.size());
    EXPECT_EQ(Tokens(summary.begin() + 7, summary.begin() + 7 + static_cast<long>(ramp.size())), ramp);
    EXPECT_EQ(ramp.size(), 200u);
}

TEST(PowerSequences, BoardThatDiesMidwayShowsEveryFailureAndStillEnds) {
    SimLink sim(sim::BoardFaults{.dieAfter = 40});
    sim.ctx.link.timeoutCount = 50;
    sim.ctx.device.programmingMode = kPar1;
    sim.ctx.device.supplyVoltageCode = 100;
    sim.ctx.device.programmingVoltageCode = 120;
    BoardInit(sim.ctx);
    PowerOn(sim.ctx);
    PowerOff(sim.ctx);
    BoardOff(sim.ctx);
    EXPECT_EQ(sim.log.size(), 40u);
    // Every failed transfer shows its message; a failed Wait1ms stops after one.
    // BoardInit, PowerOn, PowerOff (with its 100-step ramp) and BoardOff, each delay
    // counting its first transfer only, less the 40 that went through.
    const int expected = (1 + 4 + 102 + 3) + (7 + 51 + 102 + 1 + 1 + 1 + 1 + 1 + 1 + 1) +
                         (2 + 51 + 3 + 100 * (51 + 1) + 2 + 1) + (2 + 51 + 1 + 3 + 1 + 1 + 51) - 40;
    EXPECT_EQ(sim.Timeouts(), expected);
}

}  // namespace
}  // namespace merlinox
