#pragma once
#include <cstdint>

#include "sim/chip_core.h"

namespace merlinox::sim {

// The chip's high-voltage programming logic: command register, address and data
// latches, and the control inputs of the chip maker's parallel programming interface.
// The parallel socket drives it pin by pin; the high-voltage serial interface drives
// the same logic through the bits of its SII instruction byte.
//
// Command bytes: 0x80 chip erase, 0x40 write fuse bits, 0x20 write lock bits, 0x10 write
// flash, 0x11 write EEPROM, 0x08 read signature and calibration, 0x04 read fuse and lock
// bits, 0x02 read flash, 0x03 read EEPROM.
class ChipHvLogic {
public:
    struct Controls {
        bool wr = true;      // active low: a falling edge starts the selected write
        bool oe = true;      // active low: the chip drives the selected byte
        bool bs1 = false;    // byte select: high byte, high fuse, lock or calibration
        bool bs2 = false;    // second byte select (extended fuse); the parallel socket has none
        bool pagel = false;  // rising edge: loaded data into the page buffer
    };

    explicit ChipHvLogic(ChipCore& core) : core_(&core) {}

    // Forgets command, latches and control levels, as entering programming mode does.
    // longPulses: erase and fuse writes act on the WR pulse's length (old parallel parts).
    void Reset(bool longPulses);

    // One load strobe (an XTAL1 pulse, or a serial instruction whose XA bits are not
    // both 1): XA1 XA0 = 10 command, 00 address byte, 01 data byte; BS1 picks the high byte.
    void Load(bool xa1, bool xa0, bool bs1, std::uint8_t data);
    void SetControls(const Controls& controls, SimTime now);

    // The byte the chip puts out while OE is low.
    std::uint8_t OutputByte(SimTime now) const;

    std::uint8_t Command() const { return command_; }

private:
    std::uint32_t Address() const {
        return static_cast<std::uint32_t>(addressHigh_) << 8 | addressLow_;
    }
    void StartWrite(SimTime now);
    void EndWrite(SimTime now);
    void LatchPage(SimTime now);
    void WriteLockByte(std::uint8_t data, SimTime now);
    std::uint8_t FuseAndLockByte() const;

    ChipCore* core_;
    bool longPulses_ = false;
    std::uint8_t command_ = 0;
    std::uint8_t addressLow_ = 0;
    std::uint8_t addressHigh_ = 0;
    std::uint8_t dataLow_ = 0xFF;
    std::uint8_t dataHigh_ = 0xFF;
    Controls controls_;
    SimTime wrFallTime_ = 0;
    bool wrPulseStarted_ = false;
};

}  // namespace merlinox::sim
