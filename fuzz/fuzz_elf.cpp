// AVR ELF firmware: any bytes are refused with a text or parsed into pieces no larger
// than the file; none of them may crash, hang or read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/elf_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const merlinox::AvrFirmwareRead read = merlinox::ParseAvrFirmware(std::span(data, size));
    if (!read.firmware) {
        if (read.error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    // Sections may share file bytes, so only each piece is bounded by the file.
    for (const auto* memory : {&read.firmware->flash, &read.firmware->eeprom}) {
        for (const merlinox::FirmwarePiece& piece : *memory) {
            if (piece.bytes.size() > size) std::abort();
        }
    }
    if (read.firmware->fuseBytes > 3) std::abort();
    return 0;
}
