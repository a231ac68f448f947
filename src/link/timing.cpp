#include "link/timing.h"

#include "core/context.h"
#include "devices/time_base.h"
#include "link/latch_bits.h"
#include "link/priority.h"
#include "link/transport.h"

namespace merlinox {

int Wait100us(Context& ctx, std::uint32_t count) {
    BoardLink& link = ctx.link;
    for (std::uint32_t i = 0; i < count; ++i) {
        link.signalLatch |= bits::kSigDelay;
        SendCommand(ctx, CmdSignal, link.signalLatch);
        link.signalLatch &= static_cast<std::uint8_t>(~bits::kSigDelay);
        SendCommand(ctx, CmdSignal, link.signalLatch);
    }
    return 0;
}

int Wait1ms(Context& ctx, std::uint32_t milliseconds) {
    BoardLink& link = ctx.link;
    const std::uint32_t transfers = TimeBase(ctx, milliseconds * 1000u);
    // On a failure the delay bit stays set until the next delay or initialisation.
    link.signalLatch |= bits::kSigDelay;
    if (SendCommand(ctx, CmdSignal, link.signalLatch) != 0) return 9;
    for (std::uint32_t i = 1; i < transfers; ++i) {
        if (SendCommand(ctx, CmdSignal, link.signalLatch) != 0) return 9;
    }
    link.signalLatch &= static_cast<std::uint8_t>(~bits::kSigDelay);
    SendCommand(ctx, CmdSignal, link.signalLatch);
    return 0;
}

void RaisePriority(Context& ctx) {
    if (ctx.link.priority != nullptr) ctx.link.priority->Raise(LevelForOsType(ctx.link.osType));
}

void RestorePriority(Context& ctx) {
    if (ctx.link.priority != nullptr) ctx.link.priority->Restore();
}

}  // namespace merlinox
