// Power-on and power-off per programming mode: the order in which the supply, the
// programming voltage on RESET and the socket lines come and go is what puts a chip
// into its programming mode and safely out of it again.
#include "core/link_context.h"
#include "core/message_port.h"
#include "core/programming_interface.h"
#include "link/board_control.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"

namespace merlinox::inline link {

namespace {

// The chips whose high-voltage serial entry wants ten clock pulses before VPP.
bool NeedsEntryClocks(const DeviceRecord& device) {
    switch (device.deviceCode) {
    case 0x9004:
    case 0x9005:
    case 0x9007:
    case 0x9102:
        return true;
    case 0x9103:
        return device.fuseD0 == 1;
    default:
        return false;
    }
}

void EntryClocks(LinkContext& ctx) {
    for (int pulse = 0; pulse < 10; ++pulse) {
        SetDataBit(ctx, bits::kDataSciPair, true);
        SetDataBit(ctx, bits::kDataSciPair, false);
    }
}

void BothVoltages(LinkContext& ctx) {
    SetProgrammingVoltage(ctx, ctx.device.programmingVoltageCode);
    SetSupply(ctx, ctx.device.supplyVoltageCode);
}

// The supply walks down one code at a time, 10 ms apart, and stops at code 1. A step
// the board did not take ends the walk: the switch-off that follows is what counts,
// and a hundred steps into a dead board would cost a hundred rounds of time-outs.
void RampSupplyDown(LinkContext& ctx) {
    for (unsigned v = ctx.device.supplyVoltageCode; v >= 1; --v) {
        const std::uint64_t failedBefore = ctx.link.failedTransfers;
        SetSupply(ctx, static_cast<std::uint8_t>(v));
        if (ctx.link.failedTransfers != failedBefore) return;
        Wait1ms(ctx, 10);
    }
}

void PowerOnParallel(LinkContext& ctx) {
    BothVoltages(ctx);
    SetPowerBit(ctx, bits::kPwrSocketVcc, true);
    Wait1ms(ctx, 300);
    SetSignalBit(ctx, bits::kSigOe, true);
    SetControlBit(ctx, bits::kCtrlWr, true);
    Wait1ms(ctx, 1);
    SetPowerBit(ctx, bits::kPwrParallelVpp, true);
    Wait1ms(ctx, 1);
}

void PowerOnHighVoltageSerial(LinkContext& ctx) {
    BothVoltages(ctx);
    Wait1ms(ctx, 300);
    SetPowerBit(ctx, bits::kPwrSocketVcc, true);
    Wait1ms(ctx, 1);
    if (NeedsEntryClocks(ctx.device)) EntryClocks(ctx);
    Wait1ms(ctx, 1);
    SetPowerBit(ctx, bits::kPwrSerialSwitch, true);
    Wait1ms(ctx, 1);
}

void PowerOnSerial(LinkContext& ctx) {
    SetPowerBit(ctx, bits::kPwrSerialSwitch, true);
    SetDataBit(ctx, bits::kDataReset, false);
    SetDataBit(ctx, bits::kDataSck, false);
    SetControlBit(ctx, bits::kCtrlSerialMode, true);
    SetSupply(ctx, ctx.device.supplyVoltageCode);
    Wait1ms(ctx, 500);
    if (UsesSpiAdapter(ctx.device.programmingMode)) {
        // The SPI adapter of socket 1; the clock-latch shadow stays as it is.
        SendCommand(ctx, CmdClock, bits::kClkResetDrive);
    }
    Wait1ms(ctx, 100);
    // The synchronisation reports its own failure; the operation goes on either way.
    if (ctx.link.spiSync != nullptr) ctx.link.spiSync(ctx);
}

void PowerOffParallel(LinkContext& ctx) {
    ClearDelayBit(ctx);
    MaskPower(ctx, bits::kPwrKeepMask);
    SetProgrammingVoltage(ctx, 0);
    SetData(ctx, 0);
    SendCommand(ctx, CmdClock, 0);
    MaskControl(ctx, bits::kCtrlLowNibble);
    RampSupplyDown(ctx);  // ends at code 1; BoardOff switches the supply off
    MaskControl(ctx, bits::kCtrlLowNibble);
    MaskPower(ctx, bits::kPwrClearVcc);
    Wait1ms(ctx, 600);
}

void PowerOffHighVoltageSerial(LinkContext& ctx) {
    SetData(ctx, 0);
    MaskPower(ctx, bits::kPwrKeepMask);
    RampSupplyDown(ctx);
    SetSupply(ctx, 0);
    SetProgrammingVoltage(ctx, 0);
    MaskControl(ctx, bits::kCtrlLowNibble);
    MaskPower(ctx, bits::kPwrClearVcc);
    Wait1ms(ctx, 600);
}

void PowerOffSerial(LinkContext& ctx) {
    SetData(ctx, 0);
    SetClock(ctx, 0);
    MaskControl(ctx, bits::kCtrlLowNibble);
    Wait1ms(ctx, 100);
    SetDataBit(ctx, bits::kDataReset, true);
    Wait1ms(ctx, 100);
    SetDataBit(ctx, bits::kDataReset, false);
    RampSupplyDown(ctx);
    SetSupply(ctx, 0);
    SetControlBit(ctx, bits::kCtrlSerialMode, false);
    MaskPower(ctx, bits::kPwrKeepMask);
}

}  // namespace

void PowerOn(LinkContext& ctx) {
    const InterfaceFamily family = InterfaceFamilyOf(ctx.device.programmingMode);
    if (family == InterfaceFamily::kNone) ShowInfo(ctx, "Programmiermodus fehlt in PowerOn()");

    SetData(ctx, 0);
    SetClock(ctx, 0);
    SendCommand(ctx, CmdAux, 0);
    ctx.link.controlLatch = 0;
    SendCommand(ctx, CmdControl, 0);
    MaskPower(ctx, bits::kPwrKeepMask);
    MaskControl(ctx, bits::kCtrlLowNibble);
    MaskPower(ctx, bits::kPwrClearVcc);
    SetSupply(ctx, 0);

    switch (family) {
    case InterfaceFamily::kParallel:
        PowerOnParallel(ctx);
        break;
    case InterfaceFamily::kHighVoltageSerial:
    case InterfaceFamily::kHighVoltagePaged:
        PowerOnHighVoltageSerial(ctx);
        break;
    case InterfaceFamily::kSpi:
    case InterfaceFamily::kPagedSpi:
        PowerOnSerial(ctx);
        break;
    case InterfaceFamily::kNone:
        break;
    }
}

void PowerOff(LinkContext& ctx) {
    const SafeDownScope safeDown(ctx.link);
    switch (InterfaceFamilyOf(ctx.device.programmingMode)) {
    case InterfaceFamily::kParallel:
        PowerOffParallel(ctx);
        break;
    case InterfaceFamily::kHighVoltageSerial:
    case InterfaceFamily::kHighVoltagePaged:
        PowerOffHighVoltageSerial(ctx);
        break;
    case InterfaceFamily::kSpi:
    case InterfaceFamily::kPagedSpi:
        PowerOffSerial(ctx);
        break;
    case InterfaceFamily::kNone:
        ShowInfo(ctx, "Programmiermodus fehlt in PowerOff()");
        break;
    }
}

}  // namespace merlinox::inline link
