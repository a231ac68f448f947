#pragma once
#include <cstdint>

#include "protocols/fuse_bytes.h"

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline protocols {

// Low-voltage serial (SPI) programming, SPI1, SPI2, MSPI1 and MSPI2. MOSI, SCK, RESET
// and the XTAL1 clock are data-latch bits; MISO comes back through ReadBoardByte. A
// device whose library line gives both XTAL1 counts is clocked after every SCK edge.
// Flash addresses are word addresses, EEPROM addresses byte addresses; only their low
// 16 bits are sent, except the extended-address byte (bits 16 to 23).

void SpiSendByte(LinkContext& ctx, std::uint8_t byte);
std::uint8_t SpiReceiveByte(LinkContext& ctx);
// Enters programming mode: kOk, or kProgrammingFailed after "SPISync fehlgeschlagen !".
int SPISync(LinkContext& ctx);

void SpiWriteAVRWord(LinkContext& ctx, std::uint32_t wordAddress, std::uint16_t word);
std::uint16_t SpiReadAVRWord(LinkContext& ctx, std::uint32_t wordAddress);
void SpiLoadPageAVRWord(LinkContext& ctx, std::uint32_t wordAddress, std::uint16_t word);
// Any address inside the page; the caller waits flashWriteDelay afterwards.
void SpiWritePageAVRWord(LinkContext& ctx, std::uint32_t wordAddress);
void SpiWriteAVRByte(LinkContext& ctx, std::uint32_t address, std::uint8_t byte);
std::uint8_t SpiReadAVRByte(LinkContext& ctx, std::uint32_t address);
void SpiWriteLockBits(LinkContext& ctx, std::uint8_t lockBits);
// As many of the fuse bytes as the part has (fuseCount); the old parts' fuse bits travel
// in the instruction itself.
void SpiWriteFuseBits(LinkContext& ctx, const FuseBytes& fuses);
std::uint8_t SpiReadSignatureByte(LinkContext& ctx, std::uint8_t index);

// The fuse and lock reads: 0x58 0x00 lock bits, 0x50 0x00 fuse low, 0x58 0x08 fuse high,
// 0x50 0x08 extended fuse. The old parts answer 0x50 with their one fuse byte and 0x58
// with their lock bits in other positions (see the operation that reads them).
std::uint8_t SpiReadLockBits(LinkContext& ctx);
std::uint8_t SpiReadFuseLow(LinkContext& ctx);
std::uint8_t SpiReadFuseHigh(LinkContext& ctx);
std::uint8_t SpiReadFuseExt(LinkContext& ctx);

}  // namespace merlinox::inline protocols
