#include "sim/chip_hv_serial.h"

namespace merlinox::sim {
namespace {

constexpr std::uint8_t kSci = 0x02;
constexpr std::uint8_t kSdi = 0x08;
constexpr std::uint8_t kSii = 0x10;
constexpr std::uint8_t kFramePeriods = 11;

}  // namespace

void ChipHvSerial::Enter(std::uint8_t lines) {
    lines_ = lines;
    sci_ = (lines & kSci) != 0;
    edges_ = 0;
    period_ = 0;
    inFrame_ = false;
    sdoBit_ = false;
    sdi_ = sii_ = 0;
    output_ = 0;
}

void ChipHvSerial::OnLines(std::uint8_t lines, SimTime now) {
    // SDI and SII must stand before the SCI edge: a line that changes together with SCI
    // is still seen at its old level.
    const std::uint8_t before = lines_;
    lines_ = lines;
    const bool sci = (lines & kSci) != 0;
    if (sci == sci_) return;
    sci_ = sci;
    if (sci) OnRisingSci(before, now);
}

void ChipHvSerial::OnRisingSci(std::uint8_t levels, SimTime now) {
    // The ATtiny15 divides SCI: only every 16th edge is a bit period.
    const std::uint32_t edge = edges_++;
    if (edge % core_->Traits().hvspClocksPerBit != 0) return;

    if (period_ >= 1 && period_ <= 8) {
        sdi_ = static_cast<std::uint8_t>(sdi_ << 1 | ((levels & kSdi) ? 1 : 0));
        sii_ = static_cast<std::uint8_t>(sii_ << 1 | ((levels & kSii) ? 1 : 0));
    }
    sdoBit_ = period_ < 8 && ((output_ >> (7 - period_)) & 1) != 0;
    inFrame_ = true;
    if (++period_ == kFramePeriods) {
        period_ = 0;
        inFrame_ = false;
        Execute(now);
    }
}

void ChipHvSerial::Execute(SimTime now) {
    const bool xa1 = (sii_ & 0x40) != 0;
    const bool xa0 = (sii_ & 0x20) != 0;
    ChipHvLogic::Controls controls;
    controls.bs1 = (sii_ & 0x10) != 0;
    controls.wr = (sii_ & 0x08) != 0;
    controls.oe = (sii_ & 0x04) != 0;
    controls.bs2 = (sii_ & 0x02) != 0;
    controls.pagel = (sii_ & 0x01) != 0;
    if (!(xa1 && xa0)) logic_->Load(xa1, xa0, controls.bs1, sdi_);
    logic_->SetControls(controls, now);
    output_ = controls.oe ? 0 : logic_->OutputByte(now);
    sdi_ = sii_ = 0;
}

}  // namespace merlinox::sim
