#include "sim/chip_parallel.h"

namespace merlinox::sim {

void ChipParallel::Enter(const SocketDrive& drive) {
    xtal1_ = drive.xtal1;
    oe_ = drive.oe;
}

void ChipParallel::OnDrive(const SocketDrive& drive, SimTime now) {
    if (drive.xtal1 && !xtal1_) {
        // The bus is the board's byte ANDed with the chip's own while OE lets it drive.
        std::uint8_t bus = drive.dataLines;
        if (!drive.oe) bus &= logic_->OutputByte(now);
        logic_->Load(drive.xa1, drive.xa0, drive.bs, bus);
    }
    xtal1_ = drive.xtal1;
    oe_ = drive.oe;
    ChipHvLogic::Controls controls;
    controls.wr = drive.wr;
    controls.oe = drive.oe;
    controls.bs1 = drive.bs;
    logic_->SetControls(controls, now);
}

SocketSense ChipParallel::Sense(SimTime now) const {
    if (oe_) return {};
    return {0xFF, logic_->OutputByte(now)};
}

}  // namespace merlinox::sim
