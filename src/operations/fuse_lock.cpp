#include "operations/fuse_lock.h"

#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "operations/family_steps.h"
#include "operations/progress.h"
#include "protocols/parallel.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint8_t kParWriteFuse = 0x40;
constexpr std::uint8_t kParWriteLock = 0x20;
constexpr std::uint8_t kParReadFuseLock = 0x04;

// PAR1/PAR2 read-back byte: bit 7 lock bit 1, bit 6 lock bit 2, bits 5 and 0 the fuses.
std::uint8_t ParReadFuseLock(Context& ctx) {
    ParLoadCommand(ctx, kParReadFuseLock);
    return ParReadByteHigh(ctx);
}

// A READFUSE device's read-back, in the layout of the written byte so that both show
// alike: kOk when they agree, else the message and kProgrammingFailed.
int CompareReadBack(Context& ctx, const char* headline, std::uint8_t written, std::uint8_t read) {
    if (read == written) return kOk;
    ShowInfo(ctx, ctx.messageBuffer.Format("%s\n\nErwartet 0x%02X\nGelesen 0x%02X\n", headline,
                                           written, read));
    return kProgrammingFailed;
}

}  // namespace

// Only a device with READFUSE has its fuse byte written in this family.
int WriteFusesParallel(Context& ctx) {
    if (ctx.device.extra != kReadFuse) return kOk;
    const std::uint8_t f = ctx.settings.fuseLow;
    ParLoadCommand(ctx, kParWriteFuse);
    ParWriteFuseByte(ctx, f);
    const std::uint8_t rb = ParReadFuseLock(ctx);
    std::uint8_t e = 0xFF;
    if ((rb & 0x20) == 0) e &= 0xDF;
    if ((rb & 0x01) == 0) e &= 0xFE;
    return CompareReadBack(ctx, "FUSE Bits sind nicht programmiert worden !", f, e);
}

// The lock byte is always read back, but compared only for a device with READFUSE.
int WriteLockParallel(Context& ctx) {
    // Lock1 (bit 0 of the lock byte) goes to bit 1, Lock2 to bit 2, the rest stays 1.
    const auto w = static_cast<std::uint8_t>((ctx.settings.lockBits << 1) | 0xF9);
    ParLoadCommand(ctx, kParWriteLock);
    ParWriteByte(ctx, w);
    const std::uint8_t rb = ParReadFuseLock(ctx);
    if (ctx.device.extra != kReadFuse) return kOk;
    std::uint8_t e = 0xFF;
    if ((rb & 0x80) == 0) e = 0xFD;
    if ((rb & 0x40) == 0) e &= 0xFB;
    return CompareReadBack(ctx, "Lock Bits sind nicht programmiert worden !", w, e);
}

int ProgramFuseBits(Context& ctx) {
    if (!ModeGuard(ctx, "ProgramFuseBits")) return kNoProgrammingMode;
    SetStatusLine(ctx, "Programmiere Fuse Bits");
    RepaintWindow(ctx);
    return InterfaceOf(ctx).writeFuses(ctx);
}

int ProgramLockBits(Context& ctx) {
    if (!ModeGuard(ctx, "ProgramLockBits")) return kNoProgrammingMode;
    SetStatusLine(ctx, "Programmiere Security Bits");
    RepaintWindow(ctx);
    return InterfaceOf(ctx).writeLock(ctx);
}

}  // namespace merlinox::inline operations
