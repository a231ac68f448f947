#include "operations/fuse_lock.h"

#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "operations/mode_guard.h"
#include "operations/progress.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox {

namespace {

constexpr std::uint8_t kParWriteFuse = 0x40;
constexpr std::uint8_t kParWriteLock = 0x20;
constexpr std::uint8_t kParReadFuseLock = 0x04;

// PAR1/PAR2 read-back byte: bit 7 lock bit 1, bit 6 lock bit 2, bits 5 and 0 the fuses.
std::uint8_t ParReadFuseLock(Context& ctx) {
    ParLoadCommand(ctx, kParReadFuseLock);
    return ParReadByteHigh(ctx);
}

FuseBytes FusesOf(const Settings& s) { return {s.fuseLow, s.fuseHigh, s.fuseExt}; }

}  // namespace

int ProgramFuseBits(Context& ctx) {
    if (!ModeGuard(ctx, "ProgramFuseBits")) return 5;
    SetStatusLine(ctx, "Programmiere Fuse Bits");
    RepaintWindow(ctx);
    switch (ctx.device.programmingMode) {
    case kPar1:
    case kPar2: {
        if (ctx.device.extra != kReadFuse) break;
        const std::uint8_t f = ctx.settings.fuseLow;
        ParLoadCommand(ctx, kParWriteFuse);
        ParWriteFuseByte(ctx, f);
        const std::uint8_t rb = ParReadFuseLock(ctx);
        std::uint8_t e = 0xFF;
        if ((rb & 0x20) == 0) e &= 0xDF;
        if ((rb & 0x01) == 0) e &= 0xFE;
        if (e != f) {
            ShowInfo(ctx, ctx.messageBuffer.Format("FUSE Bits sind nicht programmiert worden !\n\n"
                                                   "Erwartet 0x%02X\nGelesen 0x%02X\n",
                                                   f, e));
            return 7;
        }
        break;
    }
    case kPar3:
        Par3WriteFuseBits(ctx, ctx.settings.fuseLow);
        break;
    case kPar4:
        Par4WriteFuseBits(ctx, FusesOf(ctx.settings));
        break;
    default:
        SpiWriteFuseBits(ctx, FusesOf(ctx.settings));
        break;
    }
    return 0;
}

int ProgramLockBits(Context& ctx) {
    if (!ModeGuard(ctx, "ProgramLockBits")) return 5;
    SetStatusLine(ctx, "Programmiere Security Bits");
    RepaintWindow(ctx);
    std::uint8_t w = 0xFF;
    std::uint8_t rb = 0xFF;
    const int mode = ctx.device.programmingMode;
    switch (mode) {
    case kPar1:
    case kPar2:
        // Lock1 (bit 0 of the lock byte) goes to bit 1, Lock2 to bit 2, the rest stays 1.
        w = static_cast<std::uint8_t>((ctx.settings.lockBits << 1) | 0xF9);
        ParLoadCommand(ctx, kParWriteLock);
        ParWriteByte(ctx, w);
        rb = ParReadFuseLock(ctx);
        break;
    case kPar3:
        Par3WriteLockBits(ctx, ctx.settings.lockBits);
        break;
    case kPar4:
        Par4WriteLockBits(ctx, ctx.settings.lockBits);
        break;
    default:
        SpiWriteLockBits(ctx, ctx.settings.lockBits);
        break;
    }
    if (ctx.device.extra != kReadFuse || !IsParallelMode(mode)) return 0;
    // The read-back in the layout of the written byte, so both show alike.
    std::uint8_t e = 0xFF;
    if ((rb & 0x80) == 0) e = 0xFD;
    if ((rb & 0x40) == 0) e &= 0xFB;
    if (e != w) {
        ShowInfo(ctx, ctx.messageBuffer.Format("Lock Bits sind nicht programmiert worden !\n\n"
                                               "Erwartet 0x%02X\nGelesen 0x%02X\n",
                                               w, e));
        return 7;
    }
    return 0;
}

}  // namespace merlinox
