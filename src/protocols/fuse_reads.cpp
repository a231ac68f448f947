// Reading the fuse and lock bytes back, in each of the three programming interfaces.
#include <cstdint>

#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox::inline protocols {

namespace {

constexpr std::uint8_t kReadFuseAndLock = 0x04;  // command byte, parallel and HV serial
constexpr std::uint8_t kHvspLoadCommand = 0x4C;

// Serial: two instruction bytes, an ignored address byte, then the answer.
std::uint8_t SpiRead(LinkContext& ctx, std::uint8_t first, std::uint8_t second) {
    SpiSendByte(ctx, first);
    SpiSendByte(ctx, second);
    SpiSendByte(ctx, 0x00);
    return SpiReceiveByte(ctx);
}

// HV serial: load the read command, set the byte selects with OE low, then the frame
// that raises OE again shifts the byte out.
std::uint8_t HvspRead(LinkContext& ctx, std::uint8_t selectSii, std::uint8_t outputSii) {
    HvspInstruction(ctx, kReadFuseAndLock, kHvspLoadCommand);
    HvspInstruction(ctx, 0x00, selectSii);
    return HvspInstruction(ctx, 0x00, outputSii);
}

}  // namespace

std::uint8_t SpiReadLockBits(LinkContext& ctx) { return SpiRead(ctx, 0x58, 0x00); }
std::uint8_t SpiReadFuseLow(LinkContext& ctx) { return SpiRead(ctx, 0x50, 0x00); }
std::uint8_t SpiReadFuseHigh(LinkContext& ctx) { return SpiRead(ctx, 0x58, 0x08); }
std::uint8_t SpiReadFuseExt(LinkContext& ctx) { return SpiRead(ctx, 0x50, 0x08); }

std::uint8_t HvspReadFuseLow(LinkContext& ctx) { return HvspRead(ctx, 0x68, 0x6C); }
std::uint8_t HvspReadFuseHigh(LinkContext& ctx) { return HvspRead(ctx, 0x7A, 0x7E); }
std::uint8_t HvspReadFuseExt(LinkContext& ctx) { return HvspRead(ctx, 0x6A, 0x6E); }
std::uint8_t HvspReadLockBits(LinkContext& ctx) { return HvspRead(ctx, 0x78, 0x7C); }

std::uint8_t ParReadFuseAndLockBits(LinkContext& ctx) {
    ParLoadCommand(ctx, kReadFuseAndLock);
    return ParReadByteHigh(ctx);
}

}  // namespace merlinox::inline protocols
