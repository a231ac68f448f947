#include "sim/chip_hv_logic.h"

namespace merlinox::sim {
namespace {

enum Command : std::uint8_t {
    kChipErase = 0x80,
    kWriteFuse = 0x40,
    kWriteLock = 0x20,
    kWriteFlash = 0x10,
    kWriteEeprom = 0x11,
    kReadSignature = 0x08,
    kReadFuseLock = 0x04,
    kReadFlash = 0x02,
    kReadEeprom = 0x03,
};

// The old parts' long WR pulses: t_WLWH_CE for the chip erase, t_WLWH_PFB for fuses.
constexpr SimTime kEraseMinPulseNs = 10'000'000;
constexpr SimTime kFuseMinPulseNs = 1'000'000;

}  // namespace

void ChipHvLogic::Reset(bool longPulses) {
    longPulses_ = longPulses;
    command_ = 0;
    addressLow_ = addressHigh_ = 0;
    dataLow_ = dataHigh_ = 0xFF;
    controls_ = Controls{};
    wrPulseStarted_ = false;
}

void ChipHvLogic::Load(bool xa1, bool xa0, bool bs1, std::uint8_t data) {
    if (xa1 && !xa0) {
        command_ = data;
    } else if (!xa1 && !xa0) {
        (bs1 ? addressHigh_ : addressLow_) = data;
    } else if (!xa1 && xa0) {
        if (core_->Traits().singleDataLatch) {
            // One data latch; BS at the write selects which flash byte it goes to.
            dataLow_ = dataHigh_ = data;
        } else {
            (bs1 ? dataHigh_ : dataLow_) = data;
        }
    }
}

void ChipHvLogic::SetControls(const Controls& controls, SimTime now) {
    const Controls before = controls_;
    controls_ = controls;
    if (before.wr && !controls.wr) StartWrite(now);
    if (!before.wr && controls.wr) EndWrite(now);
    if (!before.pagel && controls.pagel) LatchPage(now);
}

void ChipHvLogic::StartWrite(SimTime now) {
    const bool old = core_->Traits().oldHvProtocol;
    const bool paged = core_->Facts().flashPageWords != 0 && !old;
    wrFallTime_ = now;
    wrPulseStarted_ = true;
    switch (command_) {
    case kChipErase:
        if (!longPulses_) core_->ChipErase(now);
        break;
    case kWriteFlash:
        if (paged) {
            core_->WriteFlashPage(Address(), now);
        } else {
            core_->WriteFlashByte(Address(), controls_.bs1, controls_.bs1 ? dataHigh_ : dataLow_,
                                  now);
        }
        break;
    case kWriteEeprom:
        if (core_->Facts().eepromPageBytes != 0 && !old) {
            core_->WriteEepromPage(Address(), now);
        } else {
            core_->WriteEepromByte(Address(), dataLow_, now);
        }
        break;
    case kWriteFuse:
        if (longPulses_) break;
        if (old) {
            core_->WriteFuse(0, dataLow_, false, now);
        } else {
            core_->WriteFuse(controls_.bs2 ? 2 : (controls_.bs1 ? 1 : 0), dataLow_, false, now);
        }
        break;
    case kWriteLock:
        WriteLockByte(dataLow_, now);
        break;
    default:
        break;
    }
}

void ChipHvLogic::EndWrite(SimTime now) {
    if (!longPulses_ || !wrPulseStarted_) return;
    wrPulseStarted_ = false;
    const SimTime width = now - wrFallTime_;
    if (command_ == kChipErase && width >= kEraseMinPulseNs) core_->ChipErase(now, false);
    if (command_ == kWriteFuse && width >= kFuseMinPulseNs)
        core_->WriteFuse(0, dataLow_, false, now, false);
}

void ChipHvLogic::LatchPage(SimTime now) {
    if (core_->Traits().oldHvProtocol) return;
    if (command_ == kWriteFlash) {
        core_->LoadFlashPageByte(Address(), false, dataLow_, now);
        core_->LoadFlashPageByte(Address(), true, dataHigh_, now);
    } else if (command_ == kWriteEeprom) {
        core_->LoadEepromPageByte(Address(), dataLow_, now);
    }
}

void ChipHvLogic::WriteLockByte(std::uint8_t data, SimTime now) {
    if (core_->Traits().oldHvProtocol) {
        // LB1 in data bit 1, LB2 in data bit 2.
        data = static_cast<std::uint8_t>(0xFC | ((data >> 1) & 0x03));
    }
    core_->ProgramLock(data, now);
}

std::uint8_t ChipHvLogic::FuseAndLockByte() const {
    // The old parts' read-back: bit 7 LB1, bit 6 LB2, bits 5 and 0 their two fuse bits.
    const std::uint8_t lock = core_->Lock();
    const std::uint8_t fuse = core_->Fuse(0);
    std::uint8_t value = 0x1E;
    value |= static_cast<std::uint8_t>((lock & 0x01) << 7);
    value |= static_cast<std::uint8_t>((lock & 0x02) << 5);
    value |= static_cast<std::uint8_t>(fuse & 0x21);
    return value;
}

std::uint8_t ChipHvLogic::OutputByte(SimTime now) const {
    switch (command_) {
    case kReadFlash:
        return core_->ReadFlashByte(Address(), controls_.bs1, now);
    case kReadEeprom:
        return core_->ReadEeprom(Address(), now);
    case kReadSignature:
        return controls_.bs1 ? core_->Contents().calibration : core_->Signature(addressLow_ & 0x03);
    case kReadFuseLock:
        if (core_->Traits().spiFamily == SpiFamily::kTinyOld) {
            // ATtiny11/12/15: the fuse byte, or the lock bits in bits 1 (LB1) and 2 (LB2).
            if (!controls_.bs1) return core_->Fuse(0);
            return static_cast<std::uint8_t>(0xF9 | (core_->Lock() & 0x03) << 1);
        }
        if (core_->Traits().oldHvProtocol)
            return controls_.bs1 ? FuseAndLockByte() : core_->Fuse(0);
        if (controls_.bs1) return controls_.bs2 ? core_->Fuse(1) : core_->Lock();
        return controls_.bs2 ? core_->Fuse(2) : core_->Fuse(0);
    default:
        return 0xFF;
    }
}

}  // namespace merlinox::sim
