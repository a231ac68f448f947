#pragma once
#include <cstdint>
#include <string>

namespace merlinox::inline core {

enum ProgrammingMode : std::int32_t {
    kNoMode = 0,
    kPar1 = 1,
    kPar2 = 2,
    kPar3 = 3,
    kPar4 = 4,
    kSpi1 = 5,
    kSpi2 = 6,
    kMspi1 = 7,
    kMspi2 = 8,
};

enum FuseAccess : std::int32_t {
    kNoFuseAccess = 0,
    kReadFuse = 1,  // "READFUSE": fuse and lock bits are read back after programming
    kNoFuse = 2,    // "NOFUSE": they are not read back
};

// The current device, filled only from a line of the device library. Fields are in the
// order of the library's columns.
struct DeviceRecord {
    std::string name;  // UTF-8; also the name of the device's INI section
    std::uint8_t pinCount = 0;
    std::uint8_t programmingVoltageCode = 0;  // VPP in 100 mV
    std::uint8_t supplyVoltageCode = 0;       // VCC in 50 mV
    std::uint32_t flashWriteDelay = 0;        // delay units (already converted)
    std::uint32_t eepromWriteDelay = 0;
    std::uint32_t eraseDelay = 0;
    std::uint32_t flashWords = 0;
    std::uint32_t eepromBytes = 0;
    std::uint8_t manufacturerId = 0;
    std::uint8_t deviceId = 0;
    std::uint8_t subId = 0;
    std::uint32_t deviceCode = 0;  // deviceId * 256 + subId
    std::uint8_t fuseD0 = 0;
    std::int32_t programmingMode = kNoMode;  // a ProgrammingMode value
    std::int32_t extra = kNoFuseAccess;      // a FuseAccess value
    std::uint32_t sckLowClocks = 0;
    std::uint32_t sckHighClocks = 0;
    std::uint32_t flashPageWords = 0;
    std::uint32_t eepromPageBytes = 0;
    std::uint32_t extendedAddressing = 0;
    std::uint32_t spiSyncMode = 0;
    std::uint32_t fuseCount = 0;
    std::uint8_t lockFixedBits = 0;
    std::uint8_t lockDefault = 0;
    std::uint8_t lowFuseDefault = 0;
    std::uint8_t lowFuseFixedBits = 0;
    std::uint8_t highFuseDefault = 0;
    std::uint8_t highFuseFixedBits = 0;
    std::uint8_t extFuseDefault = 0;
    std::uint8_t extFuseFixedBits = 0;
};

}  // namespace merlinox::inline core
