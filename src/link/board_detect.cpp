// The board search at start-up and the target reset button.
#include "core/link_context.h"
#include "core/result_code.h"
#include "link/board_control.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"

namespace merlinox::inline link {

namespace {

// A strobe with nothing prepared: a board answers it by dropping the ready line. Only
// the first timeoutCount - 1 reads count; the one after them is made but not trusted.
bool FirstStrobeAnswered(LinkContext& ctx) {
    PortAccess& port = *ctx.port;
    port.WriteControl(CmdControl | bits::kControlStrobe);
    ctx.link.lastControl = CmdControl | bits::kControlStrobe;
    const std::uint32_t reads = ctx.link.timeoutCount;
    for (std::uint32_t i = 0; i < reads; ++i) {
        if ((port.ReadStatus() & bits::kStatusReady) == 0) return i + 1 < reads;
    }
    return false;
}

// Puts value on the data latch (the shadow stays) and reads it back through the loop.
bool EchoesBack(LinkContext& ctx, std::uint8_t value, int writes) {
    for (int i = 0; i < writes; ++i) SendCommand(ctx, CmdData, value);
    return ReadBoardByte(ctx) == value;
}

}  // namespace

int DetectBoard(LinkContext& ctx) {
    BoardLink& link = ctx.link;
    link.controlLatch = 0;
    link.signalLatch = 0;
    link.powerLatch = 0;
    if (ctx.port == nullptr || !FirstStrobeAnswered(ctx)) {
        ShowTimeoutMessage(ctx);
        return kHandshakeTimeout;
    }
    if (SendCommand(ctx, CmdProbeC, bits::kProbeValue) != kOk) return kBoardNotFound;
    if (SendCommand(ctx, CmdProbeE, bits::kProbeValue) != kOk) return kBoardNotFound;

    SendCommand(ctx, CmdClock, 0);
    SendCommand(ctx, CmdAux, 0);
    SendCommand(ctx, CmdControl, link.controlLatch);
    SendCommand(ctx, CmdPower, link.powerLatch);
    SendCommand(ctx, CmdSignal, link.signalLatch);
    SendCommand(ctx, CmdData, 0);

    if (ReadBoardByte(ctx) != 0x00) return kBoardNotFound;
    if (!EchoesBack(ctx, 0xAA, 2)) return kBoardNotFound;
    if (!EchoesBack(ctx, 0x55, 1)) return kBoardNotFound;
    SendCommand(ctx, CmdData, 0);
    return kOk;
}

// RESET low for a second between the two clock-latch writes; no power sequence around it.
void SendReset(LinkContext& ctx) {
    SendCommand(ctx, CmdClock, bits::kClkResetDrive);
    SetDataBit(ctx, bits::kDataReset, false);
    Wait1ms(ctx, 1000);
    SetDataBit(ctx, bits::kDataReset, true);
    SendCommand(ctx, CmdClock, 0);
}

}  // namespace merlinox::inline link
