#pragma once
#include <cstdint>

namespace merlinox::inline core {

// The configuration values, each named after its key in "pendrake.ini". Defaults are
// the values a missing file gives; the loader applies the corrections.
struct Settings {
    // Section "Hardware", shared with the sibling program.
    std::uint16_t portAdress = 0;     // "PortAdress": parallel-port base; 0 until loaded
    std::int32_t debugNT = 0;         // "DebugNT"
    std::int32_t searchHardware = 2;  // "SearchHardware": board searches at start-up
    std::uint32_t timeOut = 1000000;  // "TimeOut": handshake poll limit
    std::uint32_t messageBeap = 1;    // "MessageBeap": 1 = messages beep
    std::uint32_t timeBaseKorr = 85;  // "TimeBaseKorr": time-base correction, 1..100

    // Section "Kestrel INI-Section".
    std::int32_t xKoord = 10;          // "X-Koord"
    std::int32_t yKoord = 10;          // "Y-Koord"
    std::int32_t manufIndex = 0;       // "ManufIndex"
    std::int32_t deviceIndex = 0;      // "DeviceIndex"
    std::uint32_t showDeviceData = 0;  // "ShowDeviceData"

    // The section named like the current device.
    std::uint32_t ffSave = 0;        // "FFSave": "Leerzellen speichern"
    std::uint8_t idCheck = 1;        // "IDCheck": "ID prüfen"
    std::uint32_t testChecksum = 1;  // "TestChecksum": "Checksumme prüfen"
    std::uint8_t lockBits = 0xFF;    // "LockBits"
    std::uint8_t fuseLow = 0xFF;     // "FuseLow"
    std::uint8_t fuseHigh = 0xFF;    // "FuseHigh"
    std::uint8_t fuseExt = 0xFF;     // "FuseExt"
    std::uint32_t hexLineLen = 32;   // "HexLineLen": data bytes per written record
    std::int32_t dataFormat = 4;     // "DataFormat": format for saving, 1..8
    std::int32_t readFilter = 1;     // "ReadFilter": filter index of the open dialog
};

}  // namespace merlinox::inline core
