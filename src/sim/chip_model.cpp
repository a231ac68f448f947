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
    const ChipMode mode = ModeFor(drive);
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
