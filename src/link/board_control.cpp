#include "link/board_control.h"

#include "core/link_context.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/transport.h"

namespace merlinox::inline link {

namespace {

// One byte into the board's voltage shift register, bit 7 first: data, clock up, down.
void ShiftVoltageByte(LinkContext& ctx, std::uint8_t code) {
    for (int bit = 7; bit >= 0; --bit) {
        SetSignalBit(ctx, bits::kSigShiftData, ((code >> bit) & 1) != 0);
        SetSignalBit(ctx, bits::kSigShiftClock, true);
        SetSignalBit(ctx, bits::kSigShiftClock, false);
    }
}

}  // namespace

// 51 transfers: VCC's eight bits, VPP's eight bits, the load pulse, the data line low.
void SetVoltages(LinkContext& ctx) {
    ShiftVoltageByte(ctx, ctx.link.vccCode);
    ShiftVoltageByte(ctx, ctx.link.vppCode);
    SetSignalBit(ctx, bits::kSigShiftLoad, true);
    SetSignalBit(ctx, bits::kSigShiftLoad, false);
    SetSignalBit(ctx, bits::kSigShiftData, false);
}

void BoardInit(LinkContext& ctx) {
    ClearDelayBit(ctx);
    // These four leave the shadows alone.
    SendCommand(ctx, CmdControl, 0);
    SendCommand(ctx, CmdAux, 0);
    SendCommand(ctx, CmdClock, 0);
    SendCommand(ctx, CmdData, 0);
    SetSupply(ctx, 0);
    SetProgrammingVoltage(ctx, 0);
    MaskPower(ctx, bits::kPwrKeepMask);
    MaskControl(ctx, bits::kCtrlLowNibble);
    MaskPower(ctx, bits::kPwrClearVcc);
}

void BoardOff(LinkContext& ctx) {
    const SafeDownScope safeDown(ctx.link);
    ClearDelayBit(ctx);
    MaskPower(ctx, bits::kPwrKeepMask);
    SetProgrammingVoltage(ctx, 0);
    MaskControl(ctx, static_cast<std::uint8_t>(~bits::kCtrlLowNibble));
    SendCommand(ctx, CmdAux, 0);
    SendCommand(ctx, CmdData, 0);
    SendCommand(ctx, CmdClock, 0);
    MaskControl(ctx, bits::kCtrlLowNibble);  // the control latch is now 0
    MaskPower(ctx, bits::kPwrClearVcc);
    SetSupply(ctx, 0);
}

}  // namespace merlinox::inline link
