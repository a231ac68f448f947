#pragma once
#include <cstdint>

// Every bit of the board's registers and latches, named once. Everything above link/
// speaks in these names; nothing above link/ touches a port register.
namespace merlinox::bits {

// Parallel-port registers as the transport uses them.
inline constexpr std::uint8_t kControlStrobe = 0x01;  // control register bit 0
inline constexpr std::uint8_t kStatusReady = 0x80;    // status bit 7: ready (1), acknowledge (0)

// Control latch, command 0x00.
inline constexpr std::uint8_t kCtrlWr = 0x01;          // WR of the parallel interface, 1 = inactive
inline constexpr std::uint8_t kCtrlBs = 0x02;          // BS
inline constexpr std::uint8_t kCtrlXa0 = 0x04;         // XA0
inline constexpr std::uint8_t kCtrlXa1 = 0x08;         // XA1
inline constexpr std::uint8_t kCtrlSerialMode = 0x10;  // set while an SPI mode is powered
inline constexpr std::uint8_t kCtrlLowNibble = 0x0F;   // parallel-interface bits power-off keeps

// Signal latch, command 0x04.
inline constexpr std::uint8_t kSigShiftClock = 0x01;  // voltage shift register clock
inline constexpr std::uint8_t kSigShiftData = 0x02;   // voltage shift register data
inline constexpr std::uint8_t kSigShiftLoad = 0x04;   // voltage shift register load
inline constexpr std::uint8_t kSigDelay = 0x20;       // the delay bit the board times
inline constexpr std::uint8_t kSigOe = 0x40;          // OE of the parallel interface, 1 = off

// Clock latch, command 0x06.
inline constexpr std::uint8_t kClkXtal1 = 0x01;       // XTAL1 of the parallel interface
inline constexpr std::uint8_t kClkResetDrive = 0x02;  // written while a target reset runs
                                                      // and when SPI1 or MSPI1 is powered

// Power latch, command 0x08.
inline constexpr std::uint8_t kPwrSerialSwitch = 0x01;  // serial socket switch
inline constexpr std::uint8_t kPwrParallelVpp = 0x10;   // VPP onto RESET of the parallel interface
inline constexpr std::uint8_t kPwrSocketVcc = 0x80;     // VCC onto the high-voltage socket
inline constexpr std::uint8_t kPwrKeepMask = 0xC0;      // bits 6 and 7 survive a power-down step
inline constexpr std::uint8_t kPwrClearVcc = 0x7F;      // mask that drops the socket VCC

// Data latch, command 0x0A: the socket's signal lines (parallel: the data bus D0..D7).
inline constexpr std::uint8_t kDataReset = 0x01;    // serial modes: RESET
inline constexpr std::uint8_t kDataXtal1 = 0x02;    // SPI modes: XTAL1 pulses
inline constexpr std::uint8_t kDataSciPair = 0x03;  // high-voltage serial: SCI on bits 0 and 1
inline constexpr std::uint8_t kDataMosi = 0x08;     // SPI: MOSI
inline constexpr std::uint8_t kDataMiso = 0x10;     // SPI: MISO released (1) before reading
inline constexpr std::uint8_t kDataSck = 0x20;      // SPI: SCK
inline constexpr std::uint8_t kDataSdi = 0x08;      // high-voltage serial: SDI
inline constexpr std::uint8_t kDataSii = 0x10;      // high-voltage serial: SII
inline constexpr std::uint8_t kDataSdo = 0x20;      // high-voltage serial: SDO released (1)

// Probe latches, commands 0x0C and 0x0E: written only by the board detection.
inline constexpr std::uint8_t kProbeValue = 0x80;

// Read-back byte (ReadBoardByte) by mode.
inline constexpr std::uint8_t kReadMiso = 0x10;  // SPI: MISO
inline constexpr std::uint8_t kReadSdo = 0x20;   // high-voltage serial: SDO

// Where the read-back nibble's bits sit in the status byte: nibble bit i is status bit
// kStatusNibbleBit[i]. The board's wiring scrambles the order.
inline constexpr int kStatusNibbleBit[4] = {6, 3, 4, 5};

// The read-back nibble carried by one status byte.
constexpr std::uint8_t NibbleFromStatus(std::uint8_t status) {
    return static_cast<std::uint8_t>(((status >> 6) & 1) | (((status >> 3) & 1) << 1) |
                                     (((status >> 4) & 1) << 2) | (((status >> 5) & 1) << 3));
}

}  // namespace merlinox::bits
