#pragma once
#include <cstdint>

#include "sim/socket.h"

namespace merlinox::sim {

// The board's output side: one latch per command code and the 16-bit voltage shift
// register behind the signal latch. The simulated board and the VCD recorder both keep
// one, so that a recording decodes exactly what the board made of the transfers.
class BoardLatches {
public:
    // Stores a data byte in the latch that command selects (bits 1 to 3 of the control
    // value) and lets the signal latch clock the voltage register.
    void Store(std::uint8_t command, std::uint8_t data) {
        const unsigned index = (command >> 1) & 7u;
        if (index == kSignalIndex) ClockVoltages(data);
        latch_[index] = data;
    }

    std::uint8_t Latch(std::uint8_t command) const { return latch_[(command >> 1) & 7u]; }
    std::uint8_t VccCode() const { return vccCode_; }  // 50 mV steps
    std::uint8_t VppCode() const { return vppCode_; }  // 100 mV steps

    // The socket levels the latches and the power switches give (docs/board.md).
    SocketDrive Drive() const;

private:
    static constexpr unsigned kSignalIndex = 2;  // command 0x04

    // Data (bit 1) shifts in on the rising clock (bit 0), MSB first, VCC before VPP; the
    // rising load line (bit 2) moves the register to the outputs.
    void ClockVoltages(std::uint8_t signal) {
        const std::uint8_t rising = static_cast<std::uint8_t>(signal & ~latch_[kSignalIndex]);
        if (rising & 0x01) shift_ = static_cast<std::uint16_t>((shift_ << 1) | ((signal >> 1) & 1));
        if (rising & 0x04) {
            vccCode_ = static_cast<std::uint8_t>(shift_ >> 8);
            vppCode_ = static_cast<std::uint8_t>(shift_ & 0xFF);
        }
    }

    std::uint8_t latch_[8] = {};
    std::uint16_t shift_ = 0;
    std::uint8_t vccCode_ = 0;
    std::uint8_t vppCode_ = 0;
};

}  // namespace merlinox::sim
