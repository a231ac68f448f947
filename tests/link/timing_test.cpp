#include "link/timing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::Delay;
using testing::SimLink;
using Tokens = std::vector<std::string>;

TEST(Wait100us, TogglesTheDelayBitOncePerUnit) {
    SimLink sim;
    sim.ctx.link.signalLatch = 0x40;
    EXPECT_EQ(Wait100us(sim.ctx, 0), 0);
    EXPECT_TRUE(sim.log.empty());
    EXPECT_EQ(Wait100us(sim.ctx, 3), 0);
    EXPECT_EQ(sim.Summary(), (Tokens{"04=60", "04=40", Delay(1), Delay(1)}));
}

// The link's own copy of "TimeBaseKorr" calibrates the wait; 0 counts as the default.
TEST(Wait1ms, HoldsTheDelayBitForTheTransfersTheLinksCorrectionGives) {
    const struct {
        std::uint32_t correction, milliseconds, transfers;
    } cases[] = {{85, 1, 11}, {85, 100, 1176}, {100, 1, 10}, {70, 1000, 14285}, {0, 1, 11}};
    for (const auto& c : cases) {
        SimLink sim;
        sim.ctx.link.timeBaseCorrection = c.correction;
        EXPECT_EQ(Wait1ms(sim.ctx, c.milliseconds), 0);
        EXPECT_EQ(sim.Summary(), Tokens{Delay(c.transfers)})
            << c.correction << " " << c.milliseconds;
    }
}

TEST(Wait1ms, StopsWithNineAtTheFirstFailureAndLeavesTheBitSet) {
    SimLink sim(sim::BoardFaults{.dieAfter = 5});
    sim.ctx.link.timeoutCount = 10;
    EXPECT_EQ(Wait1ms(sim.ctx, 1), 9);
    EXPECT_EQ(sim.Timeouts(), 1);
    EXPECT_EQ(sim.log.size(), 5u);
    EXPECT_EQ(sim.ctx.link.signalLatch & 0x20, 0x20);
}

}  // namespace
}  // namespace merlinox
