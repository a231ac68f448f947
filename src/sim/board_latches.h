#pragma once
#include <cstdint>

#include "sim/socket.h"

namespace merlinox::sim {

// How the board is wired, as docs/board.md draws it. The board model decodes everything
// through this table and nothing on the PC side uses it: a bit that the PC side names
// wrongly (latch_bits.h) then makes the simulated runs fail instead of agreeing with
// itself. Tests hand the board a changed copy to show that.
struct BoardWiring {
    // Port registers: the strobe in the control register, ready in the status register,
    // and the status bits that carry read-back lines 0 to 3 (or 4 to 7).
    std::uint8_t strobe = 0x01;
    std::uint8_t ready = 0x80;
    std::uint8_t statusOfLine[4] = {0x40, 0x08, 0x10, 0x20};
    // The latches by the command code that stores into them (bits 1 to 3 of control).
    std::uint8_t controlLatch = 0x00;
    std::uint8_t signalLatch = 0x04;
    std::uint8_t clockLatch = 0x06;
    std::uint8_t powerLatch = 0x08;  // its stores show the high read-back nibble
    std::uint8_t dataLatch = 0x0A;
    // Control latch: the parallel socket's WR (active low), BS, XA0, XA1.
    std::uint8_t wr = 0x01;
    std::uint8_t bs = 0x02;
    std::uint8_t xa0 = 0x04;
    std::uint8_t xa1 = 0x08;
    // Signal latch: the voltage register's clock, data and load, the delay bit, OE.
    std::uint8_t shiftClock = 0x01;
    std::uint8_t shiftData = 0x02;
    std::uint8_t shiftLoad = 0x04;
    std::uint8_t delay = 0x20;
    std::uint8_t oe = 0x40;
    // Clock latch: XTAL1 of the parallel socket.
    std::uint8_t xtal1 = 0x01;
    // Power latch: serial switch, VPP onto RESET (parallel), VCC onto the HV socket.
    std::uint8_t serialSwitch = 0x01;
    std::uint8_t parallelVpp = 0x10;
    std::uint8_t socketVcc = 0x80;
    // Data latch: RESET's logic level in the serial socket.
    std::uint8_t reset = 0x01;
};

inline constexpr BoardWiring kBoardWiring{};

// The board's output side: one latch per command code and the 16-bit voltage shift
// register behind the signal latch. The simulated board and the VCD recorder both keep
// one, so that a recording decodes exactly what the board made of the transfers.
class BoardLatches {
public:
    explicit BoardLatches(const BoardWiring& wiring = kBoardWiring) : wiring_(wiring) {}

    // Stores a data byte in the latch that command selects (bits 1 to 3 of the control
    // value) and lets the signal latch clock the voltage register.
    void Store(std::uint8_t command, std::uint8_t data) {
        const unsigned index = (command >> 1) & 7u;
        if (index == Index(wiring_.signalLatch)) ClockVoltages(data);
        latch_[index] = data;
    }

    std::uint8_t Latch(std::uint8_t command) const { return latch_[Index(command)]; }
    const BoardWiring& Wiring() const { return wiring_; }
    std::uint8_t VccCode() const { return vccCode_; }  // 50 mV steps
    std::uint8_t VppCode() const { return vppCode_; }  // 100 mV steps

    // The socket levels the latches and the power switches give (docs/board.md).
    SocketDrive Drive() const;

private:
    static unsigned Index(std::uint8_t command) { return (command >> 1) & 7u; }

    // Data shifts in on the rising clock, MSB first, VCC before VPP; the rising load
    // line moves the register to the outputs.
    void ClockVoltages(std::uint8_t signal) {
        const auto rising = static_cast<std::uint8_t>(signal & ~latch_[Index(wiring_.signalLatch)]);
        if (rising & wiring_.shiftClock) {
            const unsigned bit = (signal & wiring_.shiftData) != 0 ? 1u : 0u;
            shift_ = static_cast<std::uint16_t>((shift_ << 1) | bit);
        }
        if (rising & wiring_.shiftLoad) {
            vccCode_ = static_cast<std::uint8_t>(shift_ >> 8);
            vppCode_ = static_cast<std::uint8_t>(shift_ & 0xFF);
        }
    }

    BoardWiring wiring_;
    std::uint8_t latch_[8] = {};
    std::uint16_t shift_ = 0;
    std::uint8_t vccCode_ = 0;
    std::uint8_t vppCode_ = 0;
};

}  // namespace merlinox::sim
