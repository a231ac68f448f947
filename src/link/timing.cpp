#include "link/timing.h"

#include "core/link_context.h"
#include "core/result_code.h"
#include "devices/time_base.h"
#include "link/latch_bits.h"
#include "link/priority.h"
#include "link/transport.h"

namespace merlinox::inline link {

int Wait100us(LinkContext& ctx, std::uint32_t count) {
    BoardLink& link = ctx.link;
    for (std::uint32_t i = 0; i < count; ++i) {
        link.signalLatch |= bits::kSigDelay;
        SendCommand(ctx, CmdSignal, link.signalLatch);
        link.signalLatch &= static_cast<std::uint8_t>(~bits::kSigDelay);
        SendCommand(ctx, CmdSignal, link.signalLatch);
    }
    return kOk;
}

int Wait1ms(LinkContext& ctx, std::uint32_t milliseconds) {
    BoardLink& link = ctx.link;
    const std::uint32_t transfers = TimeBase(link.timeBaseCorrection, milliseconds * 1000u);
    // On a failure the delay bit stays set until the next delay or initialisation.
    link.signalLatch |= bits::kSigDelay;
    if (SendCommand(ctx, CmdSignal, link.signalLatch) != kOk) return kDelayFailed;
    for (std::uint32_t i = 1; i < transfers; ++i) {
        if (SendCommand(ctx, CmdSignal, link.signalLatch) != kOk) return kDelayFailed;
    }
    link.signalLatch &= static_cast<std::uint8_t>(~bits::kSigDelay);
    SendCommand(ctx, CmdSignal, link.signalLatch);
    return kOk;
}

void RaisePriority(LinkContext& ctx) {
    if (ctx.link.priority != nullptr) ctx.link.priority->Raise(LevelForOsType(ctx.link.osType));
}

void RestorePriority(LinkContext& ctx) {
    if (ctx.link.priority != nullptr) ctx.link.priority->Restore();
}

}  // namespace merlinox::inline link
