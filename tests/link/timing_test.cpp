#include "link/timing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/priority.h"
#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::Delay;
using testing::SimLink;
using Tokens = std::vector<std::string>;

TEST(Wait100us, TogglesTheDelayBitOncePerUnitAndGoesOnThroughFailures) {
    SimLink sim;
    sim.ctx.link.signalLatch = 0x40;
    EXPECT_EQ(Wait100us(sim.ctx, 0), 0);
    EXPECT_TRUE(sim.log.empty());
    EXPECT_EQ(Wait100us(sim.ctx, 3), 0);
    EXPECT_EQ(sim.Summary(), (Tokens{"04=60", "04=40", Delay(1), Delay(1)}));

    SimLink dead(sim::BoardFaults{.neverReady = true});
    dead.ctx.link.timeoutCount = 2;
    EXPECT_EQ(Wait100us(dead.ctx, 2), 0);
    EXPECT_EQ(dead.Timeouts(), 4);
}

TEST(Wait1ms, HoldsTheDelayBitForTheCalibratedCount) {
    struct Case {
        std::uint32_t ms, korr, held;
    };
    for (const Case c : {Case{1, 85, 11}, Case{100, 85, 1176}, Case{1000, 85, 11764},
                         Case{0, 85, 1}, Case{1, 100, 10}, Case{50000, 100, 70503}}) {
        SimLink sim;
        sim.ctx.settings.timeBaseKorr = c.korr;
        EXPECT_EQ(Wait1ms(sim.ctx, c.ms), 0);
        EXPECT_EQ(sim.Summary(), Tokens{Delay(c.held)}) << c.ms << " " << c.korr;
    }
}

TEST(Wait1ms, StopsWithNineAtTheFirstFailureAndLeavesTheBitSet) {
    SimLink sim(sim::BoardFaults{.dieAfter = 5});
    sim.ctx.link.timeoutCount = 10;
    EXPECT_EQ(Wait1ms(sim.ctx, 1), 9);
    EXPECT_EQ(sim.Timeouts(), 1);
    EXPECT_EQ(sim.log.size(), 5u);
    EXPECT_EQ(sim.ctx.link.signalLatch & 0x20, 0x20);
    EXPECT_EQ(sim.board.Latches().Latch(CmdSignal) & 0x20, 0x20);

    SimLink dead(sim::BoardFaults{.noBoard = true});
    dead.ctx.link.timeoutCount = 10;
    EXPECT_EQ(Wait1ms(dead.ctx, 1000), 9);
    EXPECT_EQ(dead.Timeouts(), 1);
}

// Raise asks for the level of the operating-system type, Restore undoes it.
struct RecordingPriority : PriorityPort {
    void Raise(PriorityLevel level) override { calls += level == PriorityLevel::High ? "H" : "T"; }
    void Restore() override { calls += "-"; }
    std::string calls;
};

TEST(Priority, NtFamilyGetsHighEverythingElseTimeCritical) {
    SimLink sim;
    RaisePriority(sim.ctx);  // no priority port: nothing happens, nothing breaks
    RecordingPriority priority;
    sim.ctx.link.priority = &priority;
    for (int os : {0, 3, 4, 8, 9}) {
        sim.ctx.link.osType = os;
        RaisePriority(sim.ctx);
        RestorePriority(sim.ctx);
    }
    EXPECT_EQ(priority.calls, "T-T-H-H-T-");
}

}  // namespace
}  // namespace merlinox
