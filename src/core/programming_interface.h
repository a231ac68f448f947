#pragma once
#include <cstdint>

#include "core/device_record.h"

namespace merlinox::inline core {

// The ways the board talks to a chip. The eight programming modes fall into these
// families; two modes of one family differ only in the socket or adapter the chip sits
// in, never in the instructions, the power sequence or the fuse layout.
enum class InterfaceFamily {
    kNone,
    kParallel,           // PAR1, PAR2: the parallel programming bus
    kHighVoltageSerial,  // PAR3: high-voltage serial, cell by cell
    kHighVoltagePaged,   // PAR4: high-voltage serial with page buffers
    kSpi,                // SPI1, SPI2: serial downloading, cell by cell
    kPagedSpi,           // MSPI1, MSPI2: serial downloading, the flash through pages
};

constexpr InterfaceFamily InterfaceFamilyOf(std::int32_t mode) {
    switch (mode) {
    case kPar1:
    case kPar2:
        return InterfaceFamily::kParallel;
    case kPar3:
        return InterfaceFamily::kHighVoltageSerial;
    case kPar4:
        return InterfaceFamily::kHighVoltagePaged;
    case kSpi1:
    case kSpi2:
        return InterfaceFamily::kSpi;
    case kMspi1:
    case kMspi2:
        return InterfaceFamily::kPagedSpi;
    default:
        return InterfaceFamily::kNone;
    }
}

// The serial modes whose chip sits on the SPI adapter in socket 1 (in-system
// programming); the other serial modes take the chip itself in the socket.
constexpr bool UsesSpiAdapter(std::int32_t mode) { return mode == kSpi1 || mode == kMspi1; }

constexpr bool HasProgrammingMode(std::int32_t mode) {
    return InterfaceFamilyOf(mode) != InterfaceFamily::kNone;
}

}  // namespace merlinox::inline core
