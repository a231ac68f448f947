#include "link/latch_ops.h"

#include "core/link_context.h"
#include "link/board_control.h"
#include "link/latch_bits.h"
#include "link/transport.h"

namespace merlinox::inline link {

namespace {

void Apply(std::uint8_t& shadow, std::uint8_t bit, bool on) {
    if (on) {
        shadow |= bit;
    } else {
        shadow &= static_cast<std::uint8_t>(~bit);
    }
}

}  // namespace

void SetSignalBit(LinkContext& ctx, std::uint8_t bit, bool on) {
    Apply(ctx.link.signalLatch, bit, on);
    SendCommand(ctx, CmdSignal, ctx.link.signalLatch);
}

void SetControlBit(LinkContext& ctx, std::uint8_t bit, bool on) {
    Apply(ctx.link.controlLatch, bit, on);
    SendCommand(ctx, CmdControl, ctx.link.controlLatch);
}

void SetPowerBit(LinkContext& ctx, std::uint8_t bit, bool on) {
    Apply(ctx.link.powerLatch, bit, on);
    SendCommand(ctx, CmdPower, ctx.link.powerLatch);
}

void SetDataBit(LinkContext& ctx, std::uint8_t bit, bool on) {
    Apply(ctx.link.dataLatch, bit, on);
    SendCommand(ctx, CmdData, ctx.link.dataLatch);
}

void SetData(LinkContext& ctx, std::uint8_t value) {
    ctx.link.dataLatch = value;
    SendCommand(ctx, CmdData, value);
}

void SetClock(LinkContext& ctx, std::uint8_t value) {
    ctx.link.clockLatch = value;
    SendCommand(ctx, CmdClock, value);
}

void MaskPower(LinkContext& ctx, std::uint8_t keep) {
    ctx.link.powerLatch &= keep;
    SendCommand(ctx, CmdPower, ctx.link.powerLatch);
}

void MaskControl(LinkContext& ctx, std::uint8_t keep) {
    ctx.link.controlLatch &= keep;
    SendCommand(ctx, CmdControl, ctx.link.controlLatch);
}

void ClearDelayBit(LinkContext& ctx) { SetSignalBit(ctx, bits::kSigDelay, false); }

void SetSupply(LinkContext& ctx, std::uint8_t vccCode) {
    ctx.link.vccCode = vccCode;
    SetVoltages(ctx);
}

void SetProgrammingVoltage(LinkContext& ctx, std::uint8_t vppCode) {
    ctx.link.vppCode = vppCode;
    SetVoltages(ctx);
}

}  // namespace merlinox::inline link
