#pragma once
#include <cstdint>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline protocols {

// The chip-level primitives of high-voltage parallel programming (PAR1, PAR2). The
// chip's data bus is the board's data latch, XA1, XA0, BS and WR are control-latch bits,
// OE a signal-latch bit and XTAL1 a clock-latch bit; read data comes back through
// ReadBoardByte. PowerOn has put the chip into programming mode with OE and WR high.

// XA1 XA0 = 10: the command byte (0x80 erase, 0x40 fuses, 0x20 lock, 0x10 flash write,
// 0x11 EEPROM write, 0x08 signature, 0x04 fuse and lock read, 0x02 flash, 0x03 EEPROM read).
void ParLoadCommand(LinkContext& ctx, std::uint8_t command);
void ParLoadAddressLow(LinkContext& ctx, std::uint8_t address);
// Both address bytes; a DIP28 part takes the high byte first.
void ParLoadAddress(LinkContext& ctx, std::uint16_t address);
// Loads and writes the low byte, then the high byte (flash).
void ParWriteWord(LinkContext& ctx, std::uint16_t word);
void ParWriteByte(LinkContext& ctx, std::uint8_t byte);      // EEPROM, lock bits
void ParWriteFuseByte(LinkContext& ctx, std::uint8_t byte);  // as ParWriteByte with a long WR pulse
std::uint16_t ParReadWord(LinkContext& ctx);
std::uint8_t ParReadByteLow(LinkContext& ctx);
std::uint8_t ParReadByteHigh(LinkContext& ctx);

// Command 0x04 and a read with BS = 1: the old parts' one byte of fuse and lock bits
// (bit 7 LB1, bit 6 LB2, bit 5 SPIEN, bit 0 their other fuse bit; 0 = programmed).
std::uint8_t ParReadFuseAndLockBits(LinkContext& ctx);

}  // namespace merlinox::inline protocols
