#include "sim/chip_spi.h"

namespace merlinox::sim {
namespace {

constexpr std::uint8_t kXtal1 = 0x02;
constexpr std::uint8_t kMosi = 0x08;
constexpr std::uint8_t kSck = 0x20;

// The datasheets' wait between RESET going low and the programming-enable instruction.
constexpr SimTime kStartUpNs = 20'000'000;

constexpr std::uint8_t kEnableFirst = 0xAC;
constexpr std::uint8_t kEnableSecond = 0x53;

bool IsRead(std::uint8_t opcode) {
    switch (opcode) {
    case 0x20:
    case 0x28:  // flash low, high byte
    case 0xA0:  // EEPROM
    case 0x30:
    case 0x38:  // signature, calibration
    case 0x50:
    case 0x58:  // fuse and lock bytes
    case 0xF0:  // RDY/BSY poll
        return true;
    default:
        return false;
    }
}

}  // namespace

void ChipSpi::Enter(std::uint8_t lines, SimTime now) {
    lines_ = lines;
    startedAt_ = now;
    sckPin_ = sck_ = (lines & kSck) != 0;
    xtal1Pin_ = (lines & kXtal1) != 0;
    samples_ = 0;
    enabled_ = enablePending_ = false;
    bits_ = byteIndex_ = 0;
    shift_ = 0;
    output_ = 0;
    miso_ = false;
    extendedAddress_ = 0;
}

void ChipSpi::OnLines(std::uint8_t lines, SimTime now) {
    const bool sckPin = (lines & kSck) != 0;
    // MOSI must stand before the clock edge: one that changes together with SCK is
    // still seen at its old level.
    const bool mosi = (lines_ & kMosi) != 0;
    lines_ = lines;
    // Until the start-up time after RESET went low has passed the chip takes no clock.
    if (now < startedAt_ + kStartUpNs) {
        sckPin_ = sck_ = sckPin;
        xtal1Pin_ = (lines & kXtal1) != 0;
        return;
    }
    if (!clocking_.xtal1Clocked && !core_->ClockedThroughXtal1()) {
        if (sckPin != sckPin_) {
            sckPin_ = sckPin;
            OnSckEdge(sckPin, mosi, now);
        }
        return;
    }
    // Clocked from XTAL1: the chip looks at SCK only on rising XTAL1 edges and takes a
    // new level once it has seen it often enough in a row.
    sckPin_ = sckPin;
    const bool xtal1 = (lines & kXtal1) != 0;
    const bool risingXtal1 = xtal1 && !xtal1Pin_;
    xtal1Pin_ = xtal1;
    if (!risingXtal1) return;
    if (sckPin_ == sck_) {
        samples_ = 0;
        return;
    }
    if (++samples_ < clocking_.samplesPerLevel) return;
    samples_ = 0;
    sck_ = sckPin_;
    OnSckEdge(sck_, mosi, now);
}

void ChipSpi::OnSckEdge(bool rising, bool mosi, SimTime now) {
    if (!rising) {
        miso_ = ((output_ >> (7 - bits_)) & 1) != 0;
        return;
    }
    shift_ = static_cast<std::uint8_t>(shift_ << 1 | (mosi ? 1 : 0));
    if (++bits_ < 8) return;
    bits_ = 0;
    instruction_[byteIndex_] = shift_;
    OnByte(now);
    byteIndex_ = static_cast<std::uint8_t>((byteIndex_ + 1) % 4);
}

void ChipSpi::OnByte(SimTime now) {
    const std::uint8_t* b = instruction_;
    if (!enabled_) {
        // Waiting for the programming-enable instruction in the chip's own framing.
        output_ = 0;
        if (byteIndex_ == 1 && b[0] == kEnableFirst && b[1] == kEnableSecond) {
            enablePending_ = true;
            if (core_->Traits().spiFamily != SpiFamily::kAt90s1200) output_ = kEnableSecond;
        } else if (byteIndex_ == 3) {
            enabled_ = enablePending_;
            enablePending_ = false;
        }
        return;
    }
    switch (byteIndex_) {
    case 2:
        output_ = IsRead(b[0]) ? ReadResult(now) : b[2];
        break;
    case 3:
        Execute(now);
        output_ = b[3];
        break;
    default:
        output_ = b[byteIndex_];
        break;
    }
}

std::uint32_t ChipSpi::FlashWordAddress() const {
    const std::uint32_t extended = core_->Facts().extendedAddress ? extendedAddress_ : 0;
    return extended << 16 | static_cast<std::uint32_t>(instruction_[1]) << 8 | instruction_[2];
}

std::uint8_t ChipSpi::OldLockRead() const {
    // LB1 in bit 1, LB2 in bit 2.
    return static_cast<std::uint8_t>(0xF9 | (core_->Lock() & 0x03) << 1);
}

std::uint8_t ChipSpi::ReadResult(SimTime now) const {
    const std::uint8_t* b = instruction_;
    const SpiFamily family = core_->Traits().spiFamily;
    const bool highSelect = (b[1] & 0x08) != 0;
    switch (b[0]) {
    case 0x20:
    case 0x28:
        return core_->ReadFlashByte(FlashWordAddress(), b[0] == 0x28, now);
    case 0xA0:
        return core_->ReadEeprom(static_cast<std::uint32_t>(b[1]) << 8 | b[2], now);
    case 0x30:
        return core_->Signature(b[2] & 0x03);
    case 0x38:
        return core_->Contents().calibration;
    case 0x50:
        switch (family) {
        case SpiFamily::kModern:
        case SpiFamily::kTiny26:
            return core_->Fuse(highSelect ? 2 : 0);
        case SpiFamily::kAt90sFuse5:
        case SpiFamily::kTinyOld:
        case SpiFamily::kMega103:
        case SpiFamily::kMega161:
            return core_->Fuse(0);
        default:
            return 0xFF;
        }
    case 0x58:
        switch (family) {
        case SpiFamily::kModern:
        case SpiFamily::kMega161:
        case SpiFamily::kTiny26:
            return highSelect ? core_->Fuse(1) : core_->Lock();
        case SpiFamily::kAt90sFuse5:
        case SpiFamily::kTinyOld:
        case SpiFamily::kMega103:
            return OldLockRead();
        case SpiFamily::kAt90sCombined: {
            // Bit 7 LB1, bit 6 LB2, bit 5 SPIEN, bit 0 the other fuse bit.
            const std::uint8_t lock = core_->Lock();
            return static_cast<std::uint8_t>(0x1E | (lock & 0x01) << 7 | (lock & 0x02) << 5 |
                                             (core_->Fuse(0) & 0x21));
        }
        default:
            return 0xFF;
        }
    case 0xF0:
        if (family != SpiFamily::kModern && family != SpiFamily::kTiny26) return 0xFF;
        return core_->Busy(now) ? 0x01 : 0x00;
    default:
        return b[2];
    }
}

void ChipSpi::Execute(SimTime now) {
    const std::uint8_t* b = instruction_;
    const ChipFacts& facts = core_->Facts();
    const std::uint32_t byteAddress = static_cast<std::uint32_t>(b[1]) << 8 | b[2];
    switch (b[0]) {
    case 0xAC:
        ExecuteAc(now);
        break;
    case 0x40:
    case 0x48:
        if (facts.flashPageWords == 0) {
            core_->WriteFlashByte(FlashWordAddress(), b[0] == 0x48, b[3], now);
        } else {
            core_->LoadFlashPageByte(b[2], b[0] == 0x48, b[3], now);
        }
        break;
    case 0x4C:
        if (facts.flashPageWords != 0) core_->WriteFlashPage(FlashWordAddress(), now);
        break;
    case 0x4D:
        if (facts.extendedAddress && !core_->Busy(now)) extendedAddress_ = b[2];
        break;
    case 0xC0:
        core_->WriteEepromByte(byteAddress, b[3], now);
        break;
    case 0xC1:
        if (core_->Traits().spiFamily == SpiFamily::kModern)
            core_->LoadEepromPageByte(byteAddress, b[3], now);
        break;
    case 0xC2:
        if (core_->Traits().spiFamily == SpiFamily::kModern)
            core_->WriteEepromPage(byteAddress, now);
        break;
    default:
        break;
    }
}

void ChipSpi::ExecuteAc(SimTime now) {
    const std::uint8_t* b = instruction_;
    const ChipTraits& traits = core_->Traits();
    switch (b[1] & 0xE0) {
    case 0x80:  // chip erase
        core_->ChipErase(now);
        return;
    case 0xE0:  // write lock bits
        switch (traits.spiFamily) {
        case SpiFamily::kModern:
        case SpiFamily::kMega161:
            core_->ProgramLock(b[3], now);
            return;
        case SpiFamily::kTiny26:
            core_->ProgramLock(static_cast<std::uint8_t>(0xFC | (b[1] & 0x03)), now);
            return;
        default:  // LB1 in bit 1, LB2 in bit 2 of the second byte
            core_->ProgramLock(static_cast<std::uint8_t>(0xFC | ((b[1] >> 1) & 0x03)), now);
            return;
        }
    case 0xA0:  // write fuse bits
        switch (traits.spiFamily) {
        case SpiFamily::kModern:
        case SpiFamily::kTiny26: {
            const int index = (b[1] & 0x08) ? 1 : ((b[1] & 0x04) ? 2 : 0);
            core_->WriteFuse(index, b[3], true, now);
            return;
        }
        case SpiFamily::kTinyOld:
        case SpiFamily::kMega161:
            core_->WriteFuse(0, b[3], true, now);
            return;
        case SpiFamily::kAt90sCombined:
        case SpiFamily::kAt90sFuse5:
        case SpiFamily::kMega103: {
            const std::uint8_t mask = traits.oldFuseByte2Mask;
            const std::uint8_t value =
                static_cast<std::uint8_t>((core_->Fuse(0) & ~mask) | (b[1] & mask));
            core_->WriteFuse(0, value, true, now);
            return;
        }
        default:  // no serial fuse access
            return;
        }
    default:  // programming enable, or nothing this chip knows
        return;
    }
}

}  // namespace merlinox::sim
