#include "sim/chip_core.h"

#include <algorithm>

namespace merlinox::sim {
namespace {

constexpr SimTime kNsPerUs = 1000;

bool IsProgrammed(const ChipContents& contents, FuseBit bit) {
    return bit.byte >= 0 && (contents.fuses[bit.byte] & bit.mask) == 0;
}

}  // namespace

ChipCore::ChipCore(const ChipFacts& facts)
    : facts_(&facts), traits_(TraitsFor(facts)), timing_(TimingFor(facts)) {
    contents_.flash.assign(facts.flashBytes, 0xFF);
    contents_.eeprom.assign(facts.eepromBytes, 0xFF);
    const std::int16_t defaults[3] = {facts.lowFuseDefault, facts.highFuseDefault,
                                      facts.extFuseDefault};
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t value = defaults[i] < 0 ? 0xFF : static_cast<std::uint8_t>(defaults[i]);
        contents_.fuses[i] = static_cast<std::uint8_t>(value | ~traits_.fuseMask[i]);
    }
    // Parts leave the factory able to be programmed serially; several sources give
    // 0xFF only as a placeholder for the old parts' fuse byte.
    if (traits_.spien.byte >= 0) contents_.fuses[traits_.spien.byte] &= ~traits_.spien.mask;
    flashPage_.assign(static_cast<std::size_t>(facts.flashPageWords) * 2, 0xFF);
    eepromPage_.assign(facts.eepromPageBytes, 0xFF);
    eepromPageLoaded_.assign(facts.eepromPageBytes, false);
}

std::uint8_t ChipCore::PollValue(const std::uint8_t values[2], SimTime now) const {
    const SimTime middle = busyStart_ + (busyUntil_ - busyStart_) / 2;
    return now < middle ? values[0] : values[1];
}

std::uint32_t ChipCore::FlashPageStart(std::uint32_t wordAddress) const {
    const std::uint32_t words = facts_->flashPageWords == 0 ? 1 : facts_->flashPageWords;
    return (wordAddress % FlashWords()) / words * words;
}

std::uint32_t ChipCore::EepromPageStart(std::uint32_t address) const {
    const std::uint32_t bytes = facts_->eepromPageBytes == 0 ? 1 : facts_->eepromPageBytes;
    return (address % facts_->eepromBytes) / bytes * bytes;
}

std::uint8_t ChipCore::ReadFlashByte(std::uint32_t wordAddress, bool high, SimTime now) const {
    const std::uint32_t word = wordAddress % FlashWords();
    if (Busy(now)) {
        if (busyKind_ == BusyKind::kErase) return 0xFF;
        if (busyKind_ == BusyKind::kFlashByte && busyAddress_ == word * 2 + (high ? 1 : 0))
            return PollValue(traits_.flashPoll, now);
        if (busyKind_ == BusyKind::kFlashPage && FlashPageStart(word) == busyAddress_) return 0xFF;
    }
    if (ReadsHidden()) return kHiddenByte;
    return contents_.flash[word * 2 + (high ? 1 : 0)];
}

std::uint8_t ChipCore::ReadEeprom(std::uint32_t address, SimTime now) const {
    if (facts_->eepromBytes == 0) return 0xFF;
    const std::uint32_t a = address % facts_->eepromBytes;
    if (Busy(now)) {
        if (busyKind_ == BusyKind::kErase) return 0xFF;
        if (busyKind_ == BusyKind::kEepromByte && busyAddress_ == a)
            return PollValue(traits_.eepromPoll, now);
        if (busyKind_ == BusyKind::kEepromPage && EepromPageStart(a) == busyAddress_) return 0xFF;
    }
    if (ReadsHidden()) return kHiddenByte;
    return contents_.eeprom[a];
}

std::uint8_t ChipCore::Signature(unsigned index) const {
    return index < 3 ? facts_->signature[index] : 0xFF;
}

std::uint8_t ChipCore::Fuse(int index) const {
    if (index < 0 || index > 2) return 0xFF;
    return static_cast<std::uint8_t>(contents_.fuses[index] | ~traits_.fuseMask[index]);
}

bool ChipCore::ClockedThroughXtal1() const {
    if (facts_->code == 0x9102) return true;
    return facts_->code == 0x9103 && (Fuse(0) & 0x01) != 0;
}

std::uint8_t ChipCore::Lock() const {
    return static_cast<std::uint8_t>(contents_.lock | ~facts_->lockBitsPresent);
}

bool ChipCore::WritesLocked() const { return (Lock() & 0x03) != 0x03; }
bool ChipCore::ReadsHidden() const { return (Lock() & 0x03) == 0x00; }

bool ChipCore::SerialProgrammingEnabled() const {
    return facts_->isp && (traits_.spien.byte < 0 || IsProgrammed(contents_, traits_.spien));
}

bool ChipCore::Accepts(SimTime now) {
    if (!Busy(now)) return true;
    ++ignoredWrites_;
    return false;
}

void ChipCore::StartBusy(BusyKind kind, std::uint32_t address, std::uint32_t micros, SimTime now) {
    busyKind_ = kind;
    busyAddress_ = address;
    busyStart_ = now;
    busyUntil_ = now + static_cast<SimTime>(micros) * kNsPerUs;
}

void ChipCore::WriteFlashByte(std::uint32_t wordAddress, bool high, std::uint8_t value,
                              SimTime now) {
    if (!Accepts(now)) return;
    const std::uint32_t index = (wordAddress % FlashWords()) * 2 + (high ? 1 : 0);
    if (WritesLocked()) {
        ++ignoredWrites_;
        return;
    }
    contents_.flash[index] &= value;
    StartBusy(BusyKind::kFlashByte, index, timing_.flashWriteUs, now);
}

void ChipCore::WriteEepromByte(std::uint32_t address, std::uint8_t value, SimTime now) {
    if (facts_->eepromBytes == 0 || !Accepts(now)) return;
    if (WritesLocked()) {
        ++ignoredWrites_;
        return;
    }
    const std::uint32_t a = address % facts_->eepromBytes;
    contents_.eeprom[a] = value;  // EEPROM cells erase themselves before they are written
    StartBusy(BusyKind::kEepromByte, a, timing_.eepromWriteUs, now);
}

void ChipCore::LoadFlashPageByte(std::uint32_t wordAddress, bool high, std::uint8_t value,
                                 SimTime now) {
    if (flashPage_.empty() || !Accepts(now)) return;
    const std::uint32_t index = (wordAddress % facts_->flashPageWords) * 2 + (high ? 1 : 0);
    flashPage_[index] = value;
}

void ChipCore::WriteFlashPage(std::uint32_t wordAddress, SimTime now) {
    if (flashPage_.empty() || !Accepts(now)) return;
    const std::uint32_t start = FlashPageStart(wordAddress);
    if (WritesLocked()) {
        ++ignoredWrites_;
    } else {
        for (std::size_t i = 0; i < flashPage_.size(); ++i)
            contents_.flash[start * 2 + i] &= flashPage_[i];
    }
    std::fill(flashPage_.begin(), flashPage_.end(), 0xFF);
    StartBusy(BusyKind::kFlashPage, start, timing_.flashWriteUs, now);
}

void ChipCore::LoadEepromPageByte(std::uint32_t address, std::uint8_t value, SimTime now) {
    if (eepromPage_.empty() || !Accepts(now)) return;
    const std::uint32_t index = address % facts_->eepromPageBytes;
    eepromPage_[index] = value;
    eepromPageLoaded_[index] = true;
}

void ChipCore::WriteEepromPage(std::uint32_t address, SimTime now) {
    if (eepromPage_.empty() || facts_->eepromBytes == 0 || !Accepts(now)) return;
    const std::uint32_t start = EepromPageStart(address);
    if (WritesLocked()) {
        ++ignoredWrites_;
    } else {
        for (std::size_t i = 0; i < eepromPage_.size(); ++i) {
            if (eepromPageLoaded_[i]) contents_.eeprom[start + i] = eepromPage_[i];
        }
    }
    std::fill(eepromPage_.begin(), eepromPage_.end(), 0xFF);
    std::fill(eepromPageLoaded_.begin(), eepromPageLoaded_.end(), false);
    StartBusy(BusyKind::kEepromPage, start, timing_.eepromWriteUs, now);
}

void ChipCore::ChipErase(SimTime now, bool timed) {
    if (!Accepts(now)) return;
    std::fill(contents_.flash.begin(), contents_.flash.end(), 0xFF);
    if (!IsProgrammed(contents_, traits_.eesave))
        std::fill(contents_.eeprom.begin(), contents_.eeprom.end(), 0xFF);
    contents_.lock = 0xFF;
    if (timed) StartBusy(BusyKind::kErase, 0, timing_.chipEraseUs, now);
}

void ChipCore::ProgramLock(std::uint8_t value, SimTime now) {
    if (!Accepts(now)) return;
    contents_.lock &= static_cast<std::uint8_t>(value | ~facts_->lockBitsPresent);
    StartBusy(BusyKind::kFuse, 0, timing_.fuseWriteUs, now);
}

void ChipCore::WriteFuse(int index, std::uint8_t value, bool serial, SimTime now, bool timed) {
    if (index < 0 || index >= facts_->fuseBytes || !Accepts(now)) return;
    // The later parts lock their fuses together with the memories.
    if (!traits_.oldHvProtocol && WritesLocked()) {
        ++ignoredWrites_;
        return;
    }
    std::uint8_t keep = static_cast<std::uint8_t>(~traits_.fuseMask[index]);
    if (serial && traits_.spien.byte == index) keep |= traits_.spien.mask;
    contents_.fuses[index] = static_cast<std::uint8_t>(
        (value & ~keep) | (contents_.fuses[index] & keep) | ~traits_.fuseMask[index]);
    if (timed) StartBusy(BusyKind::kFuse, 0, timing_.fuseWriteUs, now);
}

void ChipCore::PowerDown() {
    std::fill(flashPage_.begin(), flashPage_.end(), 0xFF);
    std::fill(eepromPage_.begin(), eepromPage_.end(), 0xFF);
    std::fill(eepromPageLoaded_.begin(), eepromPageLoaded_.end(), false);
    busyKind_ = BusyKind::kNone;
    busyUntil_ = 0;
}

}  // namespace merlinox::sim
