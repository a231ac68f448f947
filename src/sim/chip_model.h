#pragma once
#include <cstdint>

#include "sim/chip_core.h"
#include "sim/chip_hv_logic.h"
#include "sim/chip_hv_serial.h"
#include "sim/chip_parallel.h"
#include "sim/chip_spi.h"
#include "sim/socket.h"

namespace merlinox::sim {

struct ChipOptions {
    SpiClocking spiClocking;
};

// What the chip is doing, decided from its supply and RESET voltages.
enum class ChipMode {
    kOff,         // supply below the chip's minimum: volatile state lost
    kRunning,     // powered but not in a programming mode: drives no socket line
    kSerial,      // RESET low: low-voltage serial (SPI) programming
    kHvSerial,    // 11.5..12.5 V on RESET, 8-pin parts: high-voltage serial programming
    kHvParallel,  // 11.5..12.5 V on RESET, larger parts: high-voltage parallel programming
};

// Supply and programming voltages the chips accept (datasheet operating ranges; the
// high-voltage modes ask for 4.5 to 5.5 V, the serial mode works down to 2.7 V).
inline constexpr std::uint32_t kPowerOnMillivolts = 1800;
inline constexpr std::uint32_t kSerialVccMinMillivolts = 2700;
inline constexpr std::uint32_t kHvVccMinMillivolts = 4500;
inline constexpr std::uint32_t kVccMaxMillivolts = 5500;
inline constexpr std::uint32_t kVppMinMillivolts = 11500;
inline constexpr std::uint32_t kVppMaxMillivolts = 12500;
inline constexpr std::uint32_t kHvEntryClocks = 4;

// A chip in the socket: a catalogue entry, its memories and the three programming
// interfaces, decoded edge by edge from the socket levels the board drives.
//
// The high-voltage modes are entered only as the datasheets' entry algorithms ask: the
// supply first, with RESET held low; then the programming voltage, and at the moment it
// reaches RESET the Prog_enable pins low (parallel: XA1, XA0, BS; the socket's PAGEL is
// tied low; serial: SDI, SII, SDO). The old 8-pin parts also want SCI toggled after the
// supply came and before the programming voltage (kHvEntryClocks rising edges, SCI low
// at the end). Otherwise the chip starts normally
// and stays in normal mode until the programming voltage is taken away again.
class SimulatedChip : public SocketChip {
public:
    explicit SimulatedChip(const ChipFacts& facts, ChipOptions options = {});
    SimulatedChip(const SimulatedChip&) = delete;  // the interfaces point into the chip
    SimulatedChip& operator=(const SimulatedChip&) = delete;

    void OnDrive(const SocketDrive& drive, SimTime now) override;
    SocketSense Sense(SimTime now) override;

    ChipMode Mode() const { return mode_; }
    bool SerialEnabled() const { return mode_ == ChipMode::kSerial && spi_.Enabled(); }
    const ChipFacts& Facts() const { return core_.Facts(); }
    const ChipOptions& Options() const { return options_; }
    ChipCore& Core() { return core_; }
    const ChipCore& Core() const { return core_; }
    ChipContents& Contents() { return core_.Contents(); }
    const ChipContents& Contents() const { return core_.Contents(); }

private:
    ChipMode ModeFor(const SocketDrive& drive) const;
    void EnterMode(ChipMode mode, const SocketDrive& drive, SimTime now);
    bool MayEnterHighVoltage(ChipMode mode, const SocketDrive& drive) const;
    bool NeedsEntryClocks() const;
    void TrackEntry(const SocketDrive& drive);

    ChipOptions options_;
    ChipCore core_;
    ChipHvLogic hvLogic_;
    ChipSpi spi_;
    ChipHvSerial hvSerial_;
    ChipParallel parallel_;
    ChipMode mode_ = ChipMode::kOff;
    SocketDrive before_;             // the socket levels before the latest change
    std::uint32_t entryClocks_ = 0;  // rising SCI edges since the supply came
};

}  // namespace merlinox::sim
