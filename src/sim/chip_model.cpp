#include "sim/chip_model.h"

namespace merlinox::sim {

SimulatedChip::SimulatedChip(const ChipFacts& facts, ChipOptions options)
    : options_(options),
      core_(facts),
      hvLogic_(core_),
      spi_(core_, options.spiClocking),
      hvSerial_(core_, hvLogic_),
      parallel_(hvLogic_) {}

ChipMode SimulatedChip::ModeFor(const SocketDrive& drive) const {
    const std::uint32_t vcc = drive.vccMillivolts;
    const std::uint32_t reset = drive.resetMillivolts;
    if (vcc < kPowerOnMillivolts) return ChipMode::kOff;
    if (vcc > kVccMaxMillivolts) return ChipMode::kRunning;
    const ChipFacts& facts = core_.Facts();
    if (reset >= kVppMinMillivolts) {
        if (reset > kVppMaxMillivolts || vcc < kHvVccMinMillivolts) return ChipMode::kRunning;
        if (facts.hvsp) return ChipMode::kHvSerial;
        if (facts.hvpp) return ChipMode::kHvParallel;
        return ChipMode::kRunning;
    }
    const bool resetLow = static_cast<std::uint64_t>(reset) * 2 < vcc;
    if (resetLow && vcc >= kSerialVccMinMillivolts && core_.SerialProgrammingEnabled())
        return ChipMode::kSerial;
    return ChipMode::kRunning;
}

namespace {

constexpr std::uint8_t kSciLine = 0x02;         // XTAL1 pin of the 8-pin parts
constexpr std::uint8_t kHvSerialEnable = 0x38;  // SDI, SII, SDO

bool HighVoltage(ChipMode mode) {
    return mode == ChipMode::kHvSerial || mode == ChipMode::kHvParallel;
}

bool ResetLow(const SocketDrive& drive) {
    return static_cast<std::uint64_t>(drive.resetMillivolts) * 2 < drive.vccMillivolts;
}

}  // namespace

// The ATtiny11/12, AT90S2323 and AT90S2343 take their high-voltage entry from SCI
// pulses while in reset; the later parts latch the Prog_enable pins alone.
bool SimulatedChip::NeedsEntryClocks() const {
    const ChipFacts& facts = core_.Facts();
    switch (facts.code) {
    case 0x9004:
    case 0x9005:
    case 0x9102:
        return true;
    case 0x9103:
        return facts.signature[2] == 0x03;
    default:
        return false;
    }
}

bool SimulatedChip::MayEnterHighVoltage(ChipMode mode, const SocketDrive& drive) const {
    // Supply in range before the programming voltage, with RESET held low meanwhile.
    const bool powered = before_.vccMillivolts >= kHvVccMinMillivolts &&
                         before_.vccMillivolts <= kVccMaxMillivolts && ResetLow(before_);
    if (!powered) return false;
    if (mode == ChipMode::kHvParallel) return !drive.xa1 && !drive.xa0 && !drive.bs;
    if ((drive.dataLines & kHvSerialEnable) != 0) return false;
    if (!NeedsEntryClocks()) return true;
    return entryClocks_ >= kHvEntryClocks && (drive.dataLines & kSciLine) == 0;
}

void SimulatedChip::TrackEntry(const SocketDrive& drive) {
    // RESET is not watched during the clocks: the 8-pin socket's SCI is data bits 0 and 1
    // together, and bit 0 also gives RESET its logic level in this model's one socket.
    if (drive.vccMillivolts < kPowerOnMillivolts) {
        entryClocks_ = 0;
    } else if ((drive.dataLines & kSciLine) != 0 && (before_.dataLines & kSciLine) == 0) {
        ++entryClocks_;
    }
    before_ = drive;
}

void SimulatedChip::EnterMode(ChipMode mode, const SocketDrive& drive, SimTime now) {
    if (mode == ChipMode::kOff) core_.PowerDown();
    switch (mode) {
    case ChipMode::kSerial:
        spi_.Enter(drive.dataLines, now);
        break;
    case ChipMode::kHvSerial:
        hvLogic_.Reset(false);
        hvSerial_.Enter(drive.dataLines);
        break;
    case ChipMode::kHvParallel:
        hvLogic_.Reset(core_.Traits().longPulseParallel);
        parallel_.Enter(drive);
        break;
    default:
        break;
    }
    mode_ = mode;
}

void SimulatedChip::OnDrive(const SocketDrive& drive, SimTime now) {
    ChipMode mode = ModeFor(drive);
    // A refused entry leaves the chip running; it cannot enter later while the
    // programming voltage stays, since RESET was not low just before.
    if (HighVoltage(mode) && !HighVoltage(mode_) && !MayEnterHighVoltage(mode, drive)) {
        mode = ChipMode::kRunning;
    }
    TrackEntry(drive);
    if (mode != mode_) {
        EnterMode(mode, drive, now);
        return;
    }
    switch (mode_) {
    case ChipMode::kSerial:
        spi_.OnLines(drive.dataLines, now);
        break;
    case ChipMode::kHvSerial:
        hvSerial_.OnLines(drive.dataLines, now);
        break;
    case ChipMode::kHvParallel:
        parallel_.OnDrive(drive, now);
        break;
    default:
        break;
    }
}

SocketSense SimulatedChip::Sense(SimTime now) {
    switch (mode_) {
    case ChipMode::kSerial:
        return {0x10, static_cast<std::uint8_t>(spi_.Miso() ? 0xFF : 0xEF)};
    case ChipMode::kHvSerial:
        return {0x20, static_cast<std::uint8_t>(hvSerial_.Sdo(now) ? 0xFF : 0xDF)};
    case ChipMode::kHvParallel:
        return parallel_.Sense(now);
    default:
        return {};
    }
}

}  // namespace merlinox::sim
