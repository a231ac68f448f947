#pragma once
#include <cstdint>

namespace merlinox {

struct Context;

// Low-voltage serial (SPI) programming, SPI1, SPI2, MSPI1 and MSPI2. MOSI, SCK, RESET
// and the XTAL1 clock are data-latch bits; MISO comes back through ReadBoardByte. A
// device whose library line gives both XTAL1 counts is clocked after every SCK edge.
// Flash addresses are word addresses, EEPROM addresses byte addresses; only their low
// 16 bits are sent, except the extended-address byte (bits 16 to 23).

void SpiSendByte(Context& ctx, std::uint8_t byte);
std::uint8_t SpiReceiveByte(Context& ctx);
// Enters programming mode: 0, or 7 after "SPISync fehlgeschlagen !".
int SPISync(Context& ctx);

void SpiWriteAVRWord(Context& ctx, std::uint32_t wordAddress, std::uint16_t word);
std::uint16_t SpiReadAVRWord(Context& ctx, std::uint32_t wordAddress);
void SpiLoadPageAVRWord(Context& ctx, std::uint32_t wordAddress, std::uint16_t word);
// Any address inside the page; the caller waits flashWriteDelay afterwards.
void SpiWritePageAVRWord(Context& ctx, std::uint32_t wordAddress);
void SpiWriteAVRByte(Context& ctx, std::uint32_t address, std::uint8_t byte);
std::uint8_t SpiReadAVRByte(Context& ctx, std::uint32_t address);
void SpiWriteLockBits(Context& ctx);
void SpiWriteFuseBits(Context& ctx);
std::uint8_t SpiReadSignatureByte(Context& ctx, std::uint8_t index);

// The fuse and lock reads: 0x58 0x00 lock bits, 0x50 0x00 fuse low, 0x58 0x08 fuse high,
// 0x50 0x08 extended fuse. The old parts answer 0x50 with their one fuse byte and 0x58
// with their lock bits in other positions (see the operation that reads them).
std::uint8_t SpiReadLockBits(Context& ctx);
std::uint8_t SpiReadFuseLow(Context& ctx);
std::uint8_t SpiReadFuseHigh(Context& ctx);
std::uint8_t SpiReadFuseExt(Context& ctx);

}  // namespace merlinox
