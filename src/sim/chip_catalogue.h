#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace merlinox::sim {

// One part as the chip maker's data describes it (data/avr-device-facts.tsv, built into
// the program by scripts/generate_chip_table.py). Times are in microseconds; 0 means
// the sources give none, and ChipTiming below fills in a stand-in.
struct ChipFacts {
    std::uint16_t code;  // signature bytes 1 and 2, e.g. 0x9307
    const char* part;
    std::uint8_t signature[3];
    std::uint32_t flashBytes;
    std::uint32_t eepromBytes;
    std::uint16_t flashPageWords;   // 0: flash is written byte by byte
    std::uint16_t eepromPageBytes;  // 0: EEPROM is written byte by byte
    std::uint32_t flashWriteUs;
    std::uint32_t eepromWriteUs;
    std::uint32_t chipEraseUs;
    std::uint8_t fuseBytes;
    std::int16_t lowFuseDefault;  // -1: no value in any source
    std::int16_t highFuseDefault;
    std::int16_t extFuseDefault;
    std::uint8_t lockBitsPresent;  // LB1 = bit 0, LB2 = bit 1, BLB0x/BLB1x = bits 2..5
    bool isp;                      // low-voltage serial (SPI) programming
    bool hvpp;                     // high-voltage parallel programming
    bool hvsp;                     // high-voltage serial programming
    std::uint8_t dipPins;          // 0: no DIP package
    bool extendedAddress;          // flash above 128 KB: the 0x4D instruction is needed
};

extern const ChipFacts kChipFactsTable[];
extern const std::size_t kChipFactsCount;

std::span<const ChipFacts> ChipCatalogue();
// The first part with this device code (0x9103 has two: the AT90S2343 comes first).
const ChipFacts* FindChipByCode(std::uint16_t code);
// By part name, case-insensitive ("ATmega8", "attiny22").
const ChipFacts* FindChipByName(std::string_view part);

// How a part's serial programming instructions read its lock and fuse bytes. The old
// AT90S forms carry the bits in the second instruction byte; the later parts carry a
// whole byte in the fourth.
enum class SpiFamily : std::uint8_t {
    kAt90s1200,      // no echo of the enable instruction, no fuse access, no lock read
    kAt90sNoFuse,    // AT90S2313/4414/8515: lock write only
    kAt90sCombined,  // AT90S2323/2343/4434/8535, ATtiny22: fuse bit 0 in byte 2, 0x58 reads all
    kAt90sFuse5,     // AT90S2333/4433: fuse bits 0..4 in byte 2, 0x50 fuse, 0x58 lock
    kTinyOld,        // ATtiny12/15: one fuse byte in byte 4, old lock forms
    kMega103,        // ATmega103/603: paged flash, fuse bits 0, 1, 3 in byte 2, old lock forms
    kMega161,        // one fuse byte in byte 4, new lock forms
    kTiny26,         // lock bits in byte 2 bits 0 and 1, new fuse forms
    kModern,         // 0xAC 0xA0/0xA8/0xA4 fuse writes, 0xAC 0xE0 lock, 0x50/0x58 reads
};

// Where a fuse bit sits: fuse byte index (0 low, 1 high, 2 extended) and bit mask.
struct FuseBit {
    std::int8_t byte = -1;  // -1: the part has no such bit
    std::uint8_t mask = 0;
};

// Behaviour the facts table does not carry, taken from the datasheets' memory
// programming chapters (and avrdude.conf's instruction patterns and polling values).
struct ChipTraits {
    SpiFamily spiFamily = SpiFamily::kModern;
    bool oldHvProtocol = false;         // byte-wise writes, lock bits in data bits 1 and 2
    bool singleDataLatch = false;       // AT90S: one data latch, BS at the write picks the byte
    bool longPulseParallel = false;     // parallel erase and fuse writes act on a long WR pulse
    std::uint8_t hvspClocksPerBit = 1;  // ATtiny15: 16 SCI periods per frame bit
    std::uint8_t fuseMask[3] = {0xFF, 0xFF, 0xFF};  // implemented bits per fuse byte
    std::uint8_t oldFuseByte2Mask = 0;              // old SPI fuse write: bits taken from byte 2
    FuseBit spien;                                  // serial programming enable (0 = programmed)
    FuseBit eesave;                            // EEPROM kept through chip erase when programmed
    std::uint8_t flashPoll[2] = {0xFF, 0xFF};  // read while a byte write runs: 1st, 2nd half
    std::uint8_t eepromPoll[2] = {0xFF, 0xFF};
};

ChipTraits TraitsFor(const ChipFacts& facts);

// Write and erase times with stand-ins where the sources give none.
struct ChipTiming {
    std::uint32_t flashWriteUs;
    std::uint32_t eepromWriteUs;
    std::uint32_t chipEraseUs;
    std::uint32_t fuseWriteUs;
};

ChipTiming TimingFor(const ChipFacts& facts);

}  // namespace merlinox::sim
