#pragma once
#include <cstdint>

namespace merlinox {

struct Context;

// High-voltage serial programming of the 8-pin parts (PAR3 byte-wise, PAR4 paged).
// Every access is a series of 11-clock frames that shift an instruction byte (SII) and a
// data byte (SDI) into the chip and a result byte (SDO) out of it. PowerOn has put the
// chip into programming mode.

// One frame; returns the byte the chip shifted out on SDO.
std::uint8_t HvspInstruction(Context& ctx, std::uint8_t sdi, std::uint8_t sii);
std::uint8_t HvspReadSignatureByte(Context& ctx, std::uint8_t index);

// PAR3: 0x9004, 0x9005, 0x9006, 0x9102, 0x9103.
void Par3WriteAVRWord(Context& ctx, std::uint16_t wordAddress, std::uint16_t word);
// A device code outside the PAR3 list reads no chip and gives 0x0000, so that an
// unreadable word never passes for an erased one.
std::uint16_t Par3ReadAVRWord(Context& ctx, std::uint16_t wordAddress);
void Par3WriteAVRByte(Context& ctx, std::uint8_t address, std::uint8_t byte);
std::uint8_t Par3ReadAVRByte(Context& ctx, std::uint8_t address);
void Par3WriteLockBits(Context& ctx);
void Par3WriteFuseBits(Context& ctx);

// PAR4: 0x9007, 0x9108, 0x9206, 0x930B.
void Par4LoadWriteFlashCommand(Context& ctx);
void Par4LoadWriteEepromCommand(Context& ctx);
void Par4LoadNoOperation(Context& ctx);
// Into the page buffer.
void Par4WriteAVRWord(Context& ctx, std::uint16_t wordAddress, std::uint16_t word);
void Par4StartWritePageAVRWord(Context& ctx, std::uint16_t wordAddress);
std::uint16_t Par4ReadAVRWord(Context& ctx, std::uint16_t wordAddress);
void Par4LoadPageAVRByte(Context& ctx, std::uint16_t address, std::uint8_t byte);
void Par4StartWritePageAVRByte(Context& ctx, std::uint16_t address);
std::uint8_t Par4ReadAVRByte(Context& ctx, std::uint16_t address);
void Par4WriteLockBits(Context& ctx);
void Par4WriteFuseBits(Context& ctx);

// The fuse and lock reads after the command 0x04: SII 0x68/0x6C fuse low, 0x7A/0x7E fuse
// high, 0x6A/0x6E extended fuse, 0x78/0x7C lock bits. The byte-wise parts know the first
// and the last only, with their own bit positions.
std::uint8_t HvspReadFuseLow(Context& ctx);
std::uint8_t HvspReadFuseHigh(Context& ctx);
std::uint8_t HvspReadFuseExt(Context& ctx);
std::uint8_t HvspReadLockBits(Context& ctx);

}  // namespace merlinox
