#pragma once
#include <cstdint>

namespace merlinox::sim {

// Simulated time in nanoseconds since the board was built.
using SimTime = std::uint64_t;

// What the board puts on the chip socket, in the chip's own terms. The board derives it
// from its latches and power switches; a chip model decodes it edge by edge.
//
// The data latch is wired to the socket lines. In the parallel socket it is the data bus
// D0..D7. In the serial socket (8-pin parts and the SPI adapter) its bits are:
//   bit 0  RESET (logic level; the high-voltage modes put VPP on RESET instead)
//   bit 1  XTAL1 in SPI modes / SCI in high-voltage serial (bits 0 and 1 pulse together there)
//   bit 3  MOSI / SDI
//   bit 4  MISO / SII
//   bit 5  SCK  / SDO
// docs/board.md holds the full wiring table.
struct SocketDrive {
    std::uint32_t vccMillivolts = 0;    // supply on the VCC pin
    std::uint32_t resetMillivolts = 0;  // RESET pin: VPP when switched on, else the logic level
    std::uint8_t dataLines = 0;         // the data latch as driven by the board
    bool xa1 = false;                   // control latch bit 3
    bool xa0 = false;                   // control latch bit 2
    bool bs = false;                    // control latch bit 1
    bool wr = false;                    // control latch bit 0 (active low)
    bool oe = false;                    // signal latch bit 6 (active low)
    bool xtal1 = false;                 // clock latch bit 0: XTAL1 of the parallel socket
};

// The data lines a chip drives: bits set in mask are driven with the matching bit of
// value. The board reads each line as the AND of its own latch bit and what the chip
// drives, so a line the board released (1) reads the chip's level.
struct SocketSense {
    std::uint8_t mask = 0;
    std::uint8_t value = 0xFF;
};

// A chip in the socket. The board calls OnDrive after every change of the socket levels
// and Sense whenever it reads back.
class SocketChip {
public:
    virtual ~SocketChip() = default;
    virtual void OnDrive(const SocketDrive& drive, SimTime now) = 0;
    virtual SocketSense Sense(SimTime now) = 0;
};

}  // namespace merlinox::sim
