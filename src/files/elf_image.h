#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/firmware_fuses.h"
#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

// AVR firmware as avr-gcc links it: an ELF file whose loadable sections sit at their
// load addresses in avr-gcc's address space. Flash lies below 0x800000 (initialised
// data at its load address, the copy the start-up code reads), the EEPROM at 0x810000
// (.eeprom), the fuse bytes at 0x820000 (.fuse: low, high, extended) and the lock byte
// at 0x830000 (.lock). Signatures and everything else are not for the programmer.

struct FirmwarePiece {
    std::string section;
    std::uint32_t address = 0;  // byte address in its memory
    std::vector<std::uint8_t> bytes;
};

struct AvrFirmware {
    std::vector<FirmwarePiece> flash;
    std::vector<FirmwarePiece> eeprom;
    FirmwareFuses fuses;
    std::size_t fuseBytes = 0;    // how many bytes .fuse holds
    std::size_t memoryBytes = 0;  // all section bytes read so far, for the size limit
};

// A parsed file, or the German text that says why it cannot be used.
struct AvrFirmwareRead {
    std::optional<AvrFirmware> firmware;
    std::string error;
};

// True when the file begins with the ELF magic.
bool HasElfMagic(const std::string& path);

// Reads an AVR ELF image: refuses another machine, anything but a linked program, a
// truncated or damaged file, and pieces of one memory that overlap.
AvrFirmwareRead ParseAvrFirmware(std::span<const std::uint8_t> bytes);

// Fills the image with the flash or the EEPROM of the ELF file at path, as the readers
// of the other formats do (the load driver has reset it and checks it afterwards). The
// flash load also checks the EEPROM and the fuse bytes against the device and keeps the
// fuse and lock bytes in ctx.files.firmwareFuses, so that a file that does not fit is
// refused before the chip is touched. kLoadOk or kLoadFailed after a message.
int ReadElfFile(Context& ctx, const std::string& path, MemoryKind kind);

}  // namespace merlinox::inline files
