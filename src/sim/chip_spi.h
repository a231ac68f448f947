#pragma once
#include <cstdint>

#include "sim/chip_core.h"

namespace merlinox::sim {

// A chip option of the serial interface: a part run from an external clock samples SCK
// with that clock, so it sees the serial clock only while XTAL1 is pulsed. The parts
// that have no clock of their own in the socket (ChipCore::ClockedThroughXtal1) are
// always clocked so, whatever the option says.
struct SpiClocking {
    bool xtal1Clocked = false;
    // Rising XTAL1 edges on which an SCK level must be seen before the chip takes it
    // (the datasheets ask for SCK phases longer than two CPU clocks).
    std::uint8_t samplesPerLevel = 2;
};

// The low-voltage serial (SPI) programming interface. With RESET low the chip samples
// MOSI on every rising SCK edge and shifts MISO out on the falling one, four bytes per
// instruction. Until the programming-enable instruction (0xAC 0x53 xx xx) has been
// recognised it answers nothing; in step it echoes the 0x53 while the third byte is
// shifted (all parts but the AT90S1200). Once enabled, every byte is echoed one byte
// later, except the fourth byte of a read instruction, which carries the data.
//
// Socket lines (data latch): bit 1 XTAL1, bit 3 MOSI, bit 4 MISO, bit 5 SCK.
class ChipSpi {
public:
    ChipSpi(ChipCore& core, SpiClocking clocking) : core_(&core), clocking_(clocking) {}

    // RESET went low with the supply in range: a fresh start, out of programming mode.
    // The chip takes no clock for the first 20 ms.
    void Enter(std::uint8_t lines, SimTime now);
    void OnLines(std::uint8_t lines, SimTime now);

    bool Miso() const { return miso_; }
    bool Enabled() const { return enabled_; }

private:
    void OnSckEdge(bool rising, bool mosi, SimTime now);
    void OnByte(SimTime now);
    std::uint8_t ReadResult(SimTime now) const;
    void Execute(SimTime now);
    void ExecuteAc(SimTime now);
    std::uint32_t FlashWordAddress() const;
    std::uint8_t OldLockRead() const;

    ChipCore* core_;
    SpiClocking clocking_;
    // Pin levels and, for an XTAL1-clocked chip, its synchroniser.
    std::uint8_t lines_ = 0;  // the socket lines before the latest change
    SimTime startedAt_ = 0;
    bool sckPin_ = false;
    bool xtal1Pin_ = false;
    bool sck_ = false;          // the SCK level the chip has taken
    std::uint8_t samples_ = 0;  // XTAL1 edges that saw the pin differ from sck_
    // Instruction state.
    bool enabled_ = false;
    bool enablePending_ = false;
    std::uint8_t bits_ = 0;  // bits of the current byte received, 0..7
    std::uint8_t byteIndex_ = 0;
    std::uint8_t shift_ = 0;
    std::uint8_t instruction_[4] = {};
    std::uint8_t output_ = 0;  // the byte being shifted out
    bool miso_ = false;
    std::uint8_t extendedAddress_ = 0;
};

}  // namespace merlinox::sim
