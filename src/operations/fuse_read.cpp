#include "operations/fuse_read.h"

#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "devices/fuse_layout.h"
#include "devices/fuse_panel.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/confirmations.h"
#include "operations/family_steps.h"
#include "operations/progress.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox::inline operations {

namespace {

constexpr int kLock = static_cast<int>(FuseByte::Lock);
constexpr int kLow = static_cast<int>(FuseByte::Low);
constexpr int kHigh = static_cast<int>(FuseByte::High);
constexpr int kExt = static_cast<int>(FuseByte::Ext);

bool IsOneOf(std::uint32_t code, std::initializer_list<std::uint32_t> codes) {
    for (const std::uint32_t c : codes) {
        if (c == code) return true;
    }
    return false;
}

void Set(ChipFuseBytes& out, int byte, std::uint8_t value) {
    out.value[static_cast<std::size_t>(byte)] = value;
    out.read[static_cast<std::size_t>(byte)] = true;
}

// Bit 7 LB1, bit 6 LB2, bit 5 SPIEN, bit 0 FSTRT or RCEN.
void SetFromCombined(ChipFuseBytes& out, std::uint8_t combined) {
    const auto lb1 = static_cast<std::uint8_t>((combined >> 7) & 1);
    const auto lb2 = static_cast<std::uint8_t>((combined >> 6) & 1);
    Set(out, kLock, static_cast<std::uint8_t>(0xFC | lb2 << 1 | lb1));
    Set(out, kLow, static_cast<std::uint8_t>(0xDE | (combined & 0x21)));
}

// The old lock form: LB1 in bit 1, LB2 in bit 2.
void SetFromOldLock(ChipFuseBytes& out, std::uint8_t lock) {
    Set(out, kLock, static_cast<std::uint8_t>(0xFC | ((lock >> 1) & 0x03)));
}

int Unreadable(Context& ctx) {
    const FuseBits bits = DescribeFuseBits(ctx.device);
    const std::string group(ModeGroupName(bits.group));
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Fuses und Lock Bits von %s\nlassen sich im Modus %s nicht lesen !",
                      ctx.device.name.c_str(), group.c_str()));
    return kProgrammingFailed;
}

}  // namespace

int ReadFusesParallel(Context& ctx, ChipFuseBytes& out) {
    SetFromCombined(out, ParReadFuseAndLockBits(ctx));
    return kOk;
}

int ReadFusesSpi(Context& ctx, ChipFuseBytes& out) {
    const std::uint32_t code = ctx.device.deviceCode;
    // AT90S1200, 2313, 4414, 8515: no serial read of fuse or lock bits.
    if (IsOneOf(code, {0x9001, 0x9101, 0x9201, 0x9301})) return Unreadable(ctx);
    // AT90S2323, 2343, 4434, 8535: one byte answers for both.
    if (IsOneOf(code, {0x9102, 0x9103, 0x9202, 0x9303})) {
        SetFromCombined(out, SpiReadLockBits(ctx));
        return kOk;
    }
    // AT90S2333, 4433, ATtiny12, 15, ATmega103, 603: one fuse byte, old lock form.
    if (IsOneOf(code, {0x9105, 0x9203, 0x9005, 0x9006, 0x9701, 0x9601})) {
        Set(out, kLow, SpiReadFuseLow(ctx));
        SetFromOldLock(out, SpiReadLockBits(ctx));
        return kOk;
    }
    Set(out, kLock, SpiReadLockBits(ctx));
    if (ctx.device.fuseCount >= 1) Set(out, kLow, SpiReadFuseLow(ctx));
    if (ctx.device.fuseCount >= 2) Set(out, kHigh, SpiReadFuseHigh(ctx));
    if (ctx.device.fuseCount >= 3) Set(out, kExt, SpiReadFuseExt(ctx));
    return kOk;
}

int ReadFusesHighVoltageSerial(Context& ctx, ChipFuseBytes& out) {
    const std::uint32_t code = ctx.device.deviceCode;
    if (IsOneOf(code, {0x9004, 0x9005, 0x9006})) {
        Set(out, kLow, HvspReadFuseLow(ctx));
        SetFromOldLock(out, HvspReadLockBits(ctx));
        return kOk;
    }
    if (IsOneOf(code, {0x9102, 0x9103})) {
        SetFromCombined(out, HvspReadLockBits(ctx));
        return kOk;
    }
    return Unreadable(ctx);
}

int ReadFusesHighVoltagePaged(Context& ctx, ChipFuseBytes& out) {
    if (!IsOneOf(ctx.device.deviceCode, {0x9007, 0x9108, 0x9206, 0x930B})) {
        return Unreadable(ctx);
    }
    Set(out, kLock, HvspReadLockBits(ctx));
    Set(out, kLow, HvspReadFuseLow(ctx));
    Set(out, kHigh, HvspReadFuseHigh(ctx));
    if (ctx.device.fuseCount >= 3) Set(out, kExt, HvspReadFuseExt(ctx));
    return kOk;
}

int ReadFuseBits(Context& ctx, ChipFuseBytes& out) {
    if (!ModeGuard(ctx, "ReadFuseBits")) return kNoProgrammingMode;
    out = ChipFuseBytes{};
    SetStatusLine(ctx, "Lese Fuse Bits");
    RepaintWindow(ctx);
    return InterfaceOf(ctx).readFuses(ctx, out);
}

int ReadFusesFromChip(Context& ctx, ChipFuseBytes& out) {
    if (!ModeGuard(ctx, "ReadFusesFromChip")) return kNoProgrammingMode;
    if (ConfirmOperation(ctx, "FUSES VOM CHIP LESEN") != kIdOk) return kProgrammingFailed;
    BoardInit(ctx);
    PowerOn(ctx);
    const int r = IdCheckFails(ctx) ? kProgrammingFailed : ReadFuseBits(ctx, out);
    PowerOff(ctx);
    BoardOff(ctx);
    return r;
}

void KeepChipFuses(Context& ctx, const ChipFuseBytes& fuses) {
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto index = static_cast<std::size_t>(b);
        if (!fuses.read[index]) continue;
        FuseByteOf(ctx.settings, static_cast<FuseByte>(b)) = fuses.value[index];
    }
    ForceFixedFuseBits(ctx);
}

}  // namespace merlinox::inline operations
