#pragma once
#include <cstdint>

#include "protocols/fuse_bytes.h"

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline protocols {

// High-voltage serial programming of the 8-pin parts (PAR3 byte-wise, PAR4 paged).
// Every access is a series of 11-clock frames that shift an instruction byte (SII) and a
// data byte (SDI) into the chip and a result byte (SDO) out of it. PowerOn has put the
// chip into programming mode.

// One frame; returns the byte the chip shifted out on SDO.
std::uint8_t HvspInstruction(LinkContext& ctx, std::uint8_t sdi, std::uint8_t sii);
std::uint8_t HvspReadSignatureByte(LinkContext& ctx, std::uint8_t index);

// PAR3: 0x9004, 0x9005, 0x9006, 0x9102, 0x9103.
void Par3WriteAVRWord(LinkContext& ctx, std::uint16_t wordAddress, std::uint16_t word);
// A device code outside the PAR3 list reads no chip and gives 0x0000, so that an
// unreadable word never passes for an erased one.
std::uint16_t Par3ReadAVRWord(LinkContext& ctx, std::uint16_t wordAddress);
void Par3WriteAVRByte(LinkContext& ctx, std::uint8_t address, std::uint8_t byte);
std::uint8_t Par3ReadAVRByte(LinkContext& ctx, std::uint8_t address);
// Lock1 and Lock2 are bits 0 and 1 of lockBits; the byte-wise parts have one fuse byte.
void Par3WriteLockBits(LinkContext& ctx, std::uint8_t lockBits);
void Par3WriteFuseBits(LinkContext& ctx, std::uint8_t fuseLow);

// PAR4: 0x9007, 0x9108, 0x9206, 0x930B.
void Par4LoadWriteFlashCommand(LinkContext& ctx);
void Par4LoadWriteEepromCommand(LinkContext& ctx);
void Par4LoadNoOperation(LinkContext& ctx);
// Into the page buffer.
void Par4WriteAVRWord(LinkContext& ctx, std::uint16_t wordAddress, std::uint16_t word);
void Par4StartWritePageAVRWord(LinkContext& ctx, std::uint16_t wordAddress);
std::uint16_t Par4ReadAVRWord(LinkContext& ctx, std::uint16_t wordAddress);
void Par4LoadPageAVRByte(LinkContext& ctx, std::uint16_t address, std::uint8_t byte);
void Par4StartWritePageAVRByte(LinkContext& ctx, std::uint16_t address);
std::uint8_t Par4ReadAVRByte(LinkContext& ctx, std::uint16_t address);
void Par4WriteLockBits(LinkContext& ctx, std::uint8_t lockBits);
// The low and high fuse bytes.
void Par4WriteFuseBits(LinkContext& ctx, const FuseBytes& fuses);

// The fuse and lock reads after the command 0x04: SII 0x68/0x6C fuse low, 0x7A/0x7E fuse
// high, 0x6A/0x6E extended fuse, 0x78/0x7C lock bits. The byte-wise parts know the first
// and the last only, with their own bit positions.
std::uint8_t HvspReadFuseLow(LinkContext& ctx);
std::uint8_t HvspReadFuseHigh(LinkContext& ctx);
std::uint8_t HvspReadFuseExt(LinkContext& ctx);
std::uint8_t HvspReadLockBits(LinkContext& ctx);

}  // namespace merlinox::inline protocols
