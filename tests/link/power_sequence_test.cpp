#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "sim/trace.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::DelayMs;
using testing::SimLink;
using testing::Volts;
using Tokens = std::vector<std::string>;

// Stands in for the serial synchronisation: a marker store shows whether and where it ran.
int MarkSync(Context& ctx) { return SendCommand(ctx, CmdProbeC, 0x5A); }

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
            Powered sim(mode, 100, c.code);
            sim.ctx.device.fuseD0 = c.fuseD0;
            PowerOn(sim.ctx);
            const Tokens head =
                Join(kCommon, {Volts(0, 120), Volts(100, 120), DelayMs(300), "08=80", DelayMs(1)});
            EXPECT_EQ(sim.Summary(),
                      Join(head, c.clocked ? clocks : Tokens{}, {DelayMs(1), "08=81", DelayMs(1)}))
                << std::hex << c.code;
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

TEST(PowerOnAndOff, UnknownModeWarnsPowerOnStillRunsItsCommonSteps) {
    Powered sim(0);
    PowerOn(sim.ctx);
    EXPECT_EQ(sim.Summary(), kCommon);
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
    struct Case {
        std::int32_t mode;
        std::uint8_t vcc;
        std::uint32_t code;
        const Tokens& expected;
    };
    for (const Case& c : {Case{kPar1, 3, 0x9307, parallel}, Case{kPar2, 3, 0x9307, parallel},
                          Case{kPar3, 2, 0x9006, highVoltage}, Case{kPar4, 2, 0x9006, highVoltage},
                          Case{kSpi1, 100, 0x9307, serial}, Case{kSpi2, 100, 0x9307, serial},
                          Case{kMspi1, 100, 0x9307, serial}, Case{kMspi2, 100, 0x9307, serial}}) {
        Powered sim(c.mode, c.vcc, c.code);
        PowerOn(sim.ctx);
        sim.ctx.link.dataLatch = 0x18;  // serial lines as the last transfer left them
        sim.ClearLog();
        PowerOff(sim.ctx);
        EXPECT_EQ(sim.Summary(), c.expected) << c.mode;
        EXPECT_EQ(sim.board.Drive().vccMillivolts, 0u);
        EXPECT_EQ(sim.board.Drive().resetMillivolts, 0u);
    }
}

struct FailedTransfers : sim::TransferSink {
    void OnTransfer(const sim::TransferRecord& r) override { failed += r.ok ? 0 : 1; }
    int failed = 0;
};

// Outside an operation a board that stops answering costs one message per failed
// transfer, each delay gives up at its first failure, and the frame still ends.
TEST(PowerSequences, BoardThatDiesMidwayShowsEveryFailureAndStillEnds) {
    Powered sim(kPar1);
    sim::SimBoard dying(sim::BoardFaults{.dieAfter = 40});
    dying.Record(&sim.log);
    sim::TracingPort tracer(dying, &dying);
    FailedTransfers failures;
    tracer.AddSink(failures);
    sim.ctx.port = &tracer;
    sim.ctx.link.timeoutCount = 50;
    BoardInit(sim.ctx);
    PowerOn(sim.ctx);
    PowerOff(sim.ctx);
    BoardOff(sim.ctx);
    tracer.Finish();
    EXPECT_EQ(sim.log.size(), 40u);
    EXPECT_EQ(sim.Timeouts(), failures.failed);
    // The 100 steps of the ramp were all tried, but none of the delays ran its count
    // out: Wait1ms(600) alone would be 7058 transfers.
    EXPECT_GT(failures.failed, 100 * 51);
    EXPECT_LT(failures.failed, 7058);
}

}  // namespace
}  // namespace merlinox
