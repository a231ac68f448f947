#pragma once
#include <array>
#include <cstdint>

#include "core/result_code.h"

namespace merlinox::inline core {

enum MemoryKind : std::int32_t { kEeprom = 8, kFlash = 16 };

// The data formats, numbered as the configuration's "DataFormat" stores them (the save
// dialog's filter index is the format + 1).
enum DataFormat : std::int32_t {
    kFormatNone = 0,
    kFormatBinary = 1,
    kFormatRom = 2,
    kFormatIntel8 = 3,      // Intel HEX, 16-bit addresses
    kFormatIntel32 = 4,     // Intel HEX with type 04 records
    kFormatIntelMcs86 = 5,  // Intel HEX with type 02 records
    kFormatS1 = 6,
    kFormatS2 = 7,
    kFormatS3 = 8,
    // Loaded, never saved: not a value of the setting.
    kFormatElf = 9,  // AVR ELF firmware as avr-gcc links it
};

// What one call of a line reader did.
enum LineResult : int {
    kLineDone = 0,      // line consumed, go on
    kLineFailed = 3,    // the load fails; the reader has shown its message where it has one
    kLineEnd = 11,      // end of data
    kLineSkipped = 12,  // record without data consumed, go on
};

// Results of loads and saves, as every operation reports them.
constexpr int kLoadOk = kOk;
constexpr int kSaveOk = kOk;

// One image that holds one memory at a time: flash word w is byte 2w (low) and 2w+1
// (high); EEPROM byte a is byte a. Set to 0xFF before every load; a read-out uses it as
// its output buffer.
struct MemoryImage {
    static constexpr std::uint32_t kSize = 0x40000;
    std::array<std::uint8_t, kSize> bytes{};
    std::uint32_t highestAddress = 0;  // highest byte address the current load touched
    // Whether the current load met a single data byte. highestAddress cannot tell: 0 is
    // both "nothing" and "only address 0", and one EEPROM variable sits at address 0.
    bool hasData = false;
    std::uint32_t lineNumber = 0;      // line last read from the current text file
    std::uint32_t hexAddressBase = 0;  // base added to Intel data-record addresses
    std::uint32_t dataRecords = 0;     // S1 to S3 records read, for the S5/S6 count records
};

}  // namespace merlinox::inline core
