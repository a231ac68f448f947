#include "operations/erase.h"

#include <algorithm>
#include <cstdint>

#include "core/context.h"
#include "core/mode_guard.h"
#include "link/board_control.h"
#include "link/timing.h"
#include "link/transport.h"
#include "operations/blank_check.h"
#include "operations/confirmations.h"
#include "operations/family_steps.h"
#include "operations/progress.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint8_t kParChipErase = 0x80;
constexpr std::uint8_t kWrBit = 0x01;        // control latch: WR, active low
constexpr std::uint8_t kResetBit = 0x01;     // data latch: RESET of the serial socket
constexpr std::uint8_t kXtal1Bit = 0x02;     // data latch: XTAL1 of the serial socket
constexpr std::uint8_t kSdoReadyBit = 0x20;  // read-back: SDO high = chip ready

// The erase delay comes from the library and may be long: it runs in slices of about
// 100 ms, with the window serviced and Cancel looked at between them. False when the
// wait was cancelled.
constexpr std::uint32_t kWaitSlice = 1000;  // units of 100 µs

bool WaitForErase(Context& ctx, std::uint32_t units) {
    for (;;) {
        const std::uint32_t slice = std::min(units, kWaitSlice);
        Wait100us(ctx, slice);
        units -= slice;
        if (units == 0) return true;
        PumpMessages(ctx);
        if (CancelRequested(ctx)) return false;
    }
}

void SendControlLatch(Context& ctx) { SendCommand(ctx, CmdControl, ctx.link.controlLatch); }
void SendDataLatch(Context& ctx) { SendCommand(ctx, CmdData, ctx.link.dataLatch); }

}  // namespace

bool EraseParallel(Context& ctx) {
    ParLoadCommand(ctx, kParChipErase);
    ctx.link.controlLatch &= static_cast<std::uint8_t>(~kWrBit);
    SendControlLatch(ctx);
    const bool waited = WaitForErase(ctx, ctx.device.eraseDelay);
    ctx.link.controlLatch |= kWrBit;
    SendControlLatch(ctx);
    Wait1ms(ctx, 10);
    return waited;
}

namespace {

// Polls SDO for the end of a high-voltage serial erase, once per delay unit; at least
// one poll even with an erase delay of 0.
bool PollEraseDone(Context& ctx) {
    std::uint32_t n = 0;
    do {
        Wait100us(ctx, 1);
        n += 1;
        if ((ReadBoardByte(ctx) & kSdoReadyBit) != 0) return true;
        if (n % kWaitSlice == 0) {
            PumpMessages(ctx);
            if (CancelRequested(ctx)) return false;
        }
    } while (n < ctx.device.eraseDelay);
    return false;
}

void StartHvspErase(Context& ctx) {
    HvspInstruction(ctx, 0x80, 0x4C);  // load command: chip erase
    HvspInstruction(ctx, 0x00, 0x64);  // erase strobe
    HvspInstruction(ctx, 0x00, 0x6C);
}

void XtalPulses(Context& ctx) {
    if (ctx.device.sckLowClocks == 0 || ctx.device.sckHighClocks == 0) return;
    for (int i = 0; i < 10; ++i) {
        ctx.link.dataLatch |= kXtal1Bit;
        SendDataLatch(ctx);
        ctx.link.dataLatch &= static_cast<std::uint8_t>(~kXtal1Bit);
        SendDataLatch(ctx);
    }
}

void SetReset(Context& ctx, bool high) {
    if (high) {
        ctx.link.dataLatch |= kResetBit;
    } else {
        ctx.link.dataLatch &= static_cast<std::uint8_t>(~kResetBit);
    }
    SendDataLatch(ctx);
}

}  // namespace

bool EraseHighVoltageSerial(Context& ctx) {
    StartHvspErase(ctx);
    HvspInstruction(ctx, 0x00, 0x4C);  // load command: no operation
    return PollEraseDone(ctx);
}

bool EraseHighVoltagePaged(Context& ctx) {
    StartHvspErase(ctx);
    const bool done = PollEraseDone(ctx);
    HvspInstruction(ctx, 0x00, 0x4C);
    return done;
}

// After the erase instruction the chip leaves programming mode only through a reset
// pulse; the sequence brings it back and synchronises again.
bool EraseSpi(Context& ctx) {
    SpiSendByte(ctx, 0xAC);
    SpiSendByte(ctx, 0x80);
    SpiSendByte(ctx, 0x00);
    SpiSendByte(ctx, 0x00);
    if (!WaitForErase(ctx, ctx.device.eraseDelay)) return false;
    SetReset(ctx, true);
    XtalPulses(ctx);
    Wait1ms(ctx, 100);
    SetReset(ctx, false);
    Wait1ms(ctx, 100);
    SetReset(ctx, true);
    Wait1ms(ctx, 100);
    SetReset(ctx, false);
    XtalPulses(ctx);
    Wait1ms(ctx, 100);
    SPISync(ctx);
    return true;
}

int Erase(Context& ctx) {
    if (!ModeGuard(ctx, "Erase")) return kNoProgrammingMode;
    SetStatusLine(ctx, "Lösche Baustein");
    return InterfaceOf(ctx).erase(ctx) ? kOk : kEraseFailed;
}

int EraseAVR(Context& ctx) {
    if (!ModeGuard(ctx, "EraseAVR")) return kNoProgrammingMode;
    if (ConfirmOperation(ctx, "BAUSTEIN LÖSCHEN !!") != kIdOk) return kEraseFailed;
    PowerOn(ctx);
    if (IdCheckFails(ctx)) {
        PowerOff(ctx);
        return kEraseFailed;
    }
    const std::uint64_t failedBefore = ctx.link.failedTransfers;
    const int r = Erase(ctx);
    // A transfer that timed out means the chip may not have been erased at all: the
    // board's message has been shown, and the erase fails as every other pass does.
    const bool transfersFailed = ctx.link.failedTransfers != failedBefore;
    PowerOff(ctx);
    return r != kOk || transfersFailed ? kEraseFailed : kOk;
}

}  // namespace merlinox::inline operations
