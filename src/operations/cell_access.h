#pragma once
#include <cstdint>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The cell reads of the programming modes, shared by the blank check, the verify and the
// read-out. They expect the chip powered in its mode and, in PAR1/PAR2, the read command
// of the memory loaded (LoadReadCommand).
std::uint16_t ReadFlashWordAt(Context& ctx, std::uint32_t wordAddress);
std::uint8_t ReadEepromByteAt(Context& ctx, std::uint32_t address);
// Reads one cell of kind: a flash word or an EEPROM byte.
std::uint16_t ReadCellAt(Context& ctx, MemoryKind kind, std::uint32_t address);

// PAR1/PAR2 only (nothing in the other modes): loads the read command of the memory,
// 0x02 for the flash, 0x03 for the EEPROM.
void LoadReadCommand(Context& ctx, MemoryKind kind);

// PAR1/PAR2 EEPROM addressing: the 8-bit form for an EEPROM below 256 bytes.
void ParLoadEepromAddress(Context& ctx, std::uint32_t address);

}  // namespace merlinox::inline operations
