#pragma once
#include <array>
#include <cstdint>

#include "sim/chip_model.h"

namespace merlinox::sim::testing {

// Drives a chip's pins directly, the way the datasheets' programming algorithms
// describe the waveforms, without the board or our PC-side sequences in between.
class ChipPins {
public:
    explicit ChipPins(SocketChip& chip) : chip_(&chip) {}

    SocketDrive drive;
    SimTime now = 0;

    void Apply() { chip_->OnDrive(drive, now); }
    void Step(SimTime ns = 2000) {
        now += ns;
        Apply();
    }
    void WaitUs(std::uint64_t micros) { Step(micros * 1000); }
    void Set(std::uint8_t bits, bool on) {
        drive.dataLines =
            static_cast<std::uint8_t>(on ? drive.dataLines | bits : drive.dataLines & ~bits);
    }
    // The line as the board would read it: its own latch AND what the chip drives.
    bool Line(std::uint8_t bit) {
        const SocketSense sense = chip_->Sense(now);
        const std::uint8_t chip = static_cast<std::uint8_t>(sense.value | ~sense.mask);
        return (drive.dataLines & chip & bit) != 0;
    }

    // --- Serial (SPI): bit 3 MOSI, bit 4 MISO, bit 5 SCK; RESET as a voltage.
    static constexpr std::uint8_t kMosi = 0x08, kMiso = 0x10, kSck = 0x20;
    bool dataWithClock = false;  // MOSI or SDI and SII change in the clock edge's own write

    void PowerSerial(std::uint32_t vcc = 5000, std::uint64_t startUpMicros = 20000) {
        drive = SocketDrive{};
        drive.dataLines = kMiso;
        drive.vccMillivolts = vcc;
        Apply();
        WaitUs(startUpMicros);
    }
    std::uint8_t SpiByte(std::uint8_t out) {
        std::uint8_t in = 0;
        for (int bit = 7; bit >= 0; --bit) {
            Set(kMosi, (out >> bit) & 1);
            if (!dataWithClock) Step();
            Set(kSck, true);
            Step();
            in = static_cast<std::uint8_t>(in << 1 | (Line(kMiso) ? 1 : 0));
            Set(kSck, false);
            Step();
        }
        return in;
    }
    // The four bytes the chip sent back while the instruction was shifted in.
    std::array<std::uint8_t, 4> Spi(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                    std::uint8_t d) {
        return {SpiByte(a), SpiByte(b), SpiByte(c), SpiByte(d)};
    }
    bool EnableSerial() { return Spi(0xAC, 0x53, 0x00, 0x00)[2] == 0x53; }

    // --- High-voltage serial: bit 1 SCI, bit 3 SDI, bit 4 SII, bit 5 SDO.
    static constexpr std::uint8_t kSci = 0x03, kSdi = 0x08, kSii = 0x10, kSdo = 0x20;
    int sciPerBit = 1;

    // The datasheets' entry: the supply with RESET and the Prog_enable pins (SDI, SII,
    // SDO) low, entryClocks SCI pulses, the programming voltage, then SDO released.
    // progEnable changes the Prog_enable levels, to break the entry.
    void PowerHv(std::uint32_t vpp = 12000, std::uint32_t vcc = 5000, int entryClocks = 0,
                 std::uint8_t progEnable = 0) {
        drive = SocketDrive{};
        drive.dataLines = progEnable;
        drive.vccMillivolts = vcc;
        WaitUs(100);
        for (int pulse = 0; pulse < entryClocks; ++pulse) {
            Set(kSci, true);
            Step();
            Set(kSci, false);
            Step();
        }
        drive.resetMillivolts = vpp;
        drive.wr = true;
        drive.oe = true;
        WaitUs(20);
        Set(kSdo, true);
        WaitUs(300);
    }
    // One 11-period frame; returns the byte on SDO in periods 0 to 7.
    std::uint8_t HvFrame(std::uint8_t sdi, std::uint8_t sii) {
        std::uint8_t out = 0;
        for (int period = 0; period < 11; ++period) {
            const bool dataPeriod = period >= 1 && period <= 8;
            Set(kSdi, dataPeriod && ((sdi >> (8 - period)) & 1));
            Set(kSii, dataPeriod && ((sii >> (8 - period)) & 1));
            if (!dataWithClock) Step();
            for (int i = 0; i < sciPerBit; ++i) {
                Set(kSci, true);
                Step();
                Set(kSci, false);
                Step();
            }
            if (period < 8) out = static_cast<std::uint8_t>(out << 1 | (Line(kSdo) ? 1 : 0));
        }
        return out;
    }

private:
    SocketChip* chip_;
};

}  // namespace merlinox::sim::testing
