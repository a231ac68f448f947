#pragma once
#include <cstdint>
#include <vector>

#include "sim/chip_catalogue.h"
#include "sim/socket.h"

namespace merlinox::sim {

// What a chip keeps when it is switched off: the contents a state file holds.
struct ChipContents {
    std::vector<std::uint8_t> flash;  // word w is byte 2w (low) and 2w + 1 (high)
    std::vector<std::uint8_t> eeprom;
    std::uint8_t fuses[3] = {0xFF, 0xFF, 0xFF};  // low, high, extended; 0 = programmed
    std::uint8_t lock = 0xFF;
    std::uint8_t calibration = 0x80;
};

// Flash and EEPROM as a chip protected by lock mode 3 shows them.
inline constexpr std::uint8_t kHiddenByte = 0x00;

// The memories of one chip and what its programming logic does to them, whichever
// interface asked: writes and erases take their time in simulated time, a busy chip
// ignores further writes, and reads during a write answer as the chip's data polling
// does. The interface decoders (SPI, high-voltage serial, parallel) sit on top.
class ChipCore {
public:
    explicit ChipCore(const ChipFacts& facts);

    const ChipFacts& Facts() const { return *facts_; }
    const ChipTraits& Traits() const { return traits_; }
    const ChipTiming& Timing() const { return timing_; }
    ChipContents& Contents() { return contents_; }
    const ChipContents& Contents() const { return contents_; }

    std::uint32_t FlashWords() const { return facts_->flashBytes / 2; }
    bool Busy(SimTime now) const { return now < busyUntil_; }
    // Writes, erases and page loads the chip dropped because it was busy or locked.
    std::uint32_t IgnoredWrites() const { return ignoredWrites_; }

    // Reads as the chip answers them at time now. Addresses wrap at the memory size,
    // as the chip ignores the address bits it does not have.
    std::uint8_t ReadFlashByte(std::uint32_t wordAddress, bool high, SimTime now) const;
    std::uint8_t ReadEeprom(std::uint32_t address, SimTime now) const;
    std::uint8_t Signature(unsigned index) const;
    std::uint8_t Fuse(int index) const;  // bits the part does not have read 1
    std::uint8_t Lock() const;
    // Whether the chip runs from the clock on its XTAL1 pin: the AT90S2323 always (it has
    // no oscillator of its own), the AT90S2343 and ATtiny22 while fuse bit 0 (RCEN, CKSEL)
    // leaves the internal RC oscillator off. In the 8-pin socket nothing but the board
    // drives XTAL1, so such a chip works only while the board pulses it.
    bool ClockedThroughXtal1() const;

    // Byte-wise flash (the old parts) and EEPROM writes.
    void WriteFlashByte(std::uint32_t wordAddress, bool high, std::uint8_t value, SimTime now);
    void WriteEepromByte(std::uint32_t address, std::uint8_t value, SimTime now);
    // Page buffers and page writes. Flash pages are programmed over what the page
    // held (programming only clears bits, as without an erase on the chip); an EEPROM
    // page write changes only the bytes loaded since the last one.
    void LoadFlashPageByte(std::uint32_t wordAddress, bool high, std::uint8_t value, SimTime now);
    void WriteFlashPage(std::uint32_t wordAddress, SimTime now);
    void LoadEepromPageByte(std::uint32_t address, std::uint8_t value, SimTime now);
    void WriteEepromPage(std::uint32_t address, SimTime now);

    // timed: the chip is busy for its erase time afterwards. The old parallel parts
    // erase while WR is held low instead and are ready when it rises.
    void ChipErase(SimTime now, bool timed = true);
    // Lock bits can only be programmed (set to 0); only the chip erase clears them.
    void ProgramLock(std::uint8_t value, SimTime now);
    // serial: written over SPI, which cannot change SPIEN. timed as for ChipErase.
    void WriteFuse(int index, std::uint8_t value, bool serial, SimTime now, bool timed = true);

    bool SerialProgrammingEnabled() const;
    bool WritesLocked() const;  // lock mode 2 or 3
    bool ReadsHidden() const;   // lock mode 3

    // Power loss: the page buffers and a running write are gone, the contents stay.
    void PowerDown();

private:
    enum class BusyKind { kNone, kFlashByte, kFlashPage, kEepromByte, kEepromPage, kErase, kFuse };

    bool Accepts(SimTime now);
    void StartBusy(BusyKind kind, std::uint32_t address, std::uint32_t micros, SimTime now);
    std::uint8_t PollValue(const std::uint8_t values[2], SimTime now) const;
    std::uint32_t FlashPageStart(std::uint32_t wordAddress) const;
    std::uint32_t EepromPageStart(std::uint32_t address) const;

    const ChipFacts* facts_;
    ChipTraits traits_;
    ChipTiming timing_;
    ChipContents contents_;
    std::vector<std::uint8_t> flashPage_;  // page buffer, 2 bytes per word
    std::vector<std::uint8_t> eepromPage_;
    std::vector<bool> eepromPageLoaded_;

    BusyKind busyKind_ = BusyKind::kNone;
    std::uint32_t busyAddress_ = 0;  // flash byte address, page start, or EEPROM address
    SimTime busyStart_ = 0;
    SimTime busyUntil_ = 0;
    std::uint32_t ignoredWrites_ = 0;
};

}  // namespace merlinox::sim
