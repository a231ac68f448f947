#include "sim/board_latches.h"

namespace merlinox::sim {

SocketDrive BoardLatches::Drive() const {
    const BoardWiring& w = wiring_;
    const std::uint8_t power = Latch(w.powerLatch);
    const std::uint8_t control = Latch(w.controlLatch);
    const std::uint8_t signal = Latch(w.signalLatch);
    const std::uint8_t data = Latch(w.dataLatch);

    // Either switch connects the supply: bit 7 for the high-voltage socket positions,
    // bit 0 alone for low-voltage serial programming. Bit 0 together with bit 7, or
    // bit 4, puts the programming voltage on RESET instead of its logic level.
    const bool socketVcc = (power & w.socketVcc) != 0;
    const bool serialSwitch = (power & w.serialSwitch) != 0;
    const bool vppOnReset = (power & w.parallelVpp) != 0 || (socketVcc && serialSwitch);

    SocketDrive drive;
    drive.vccMillivolts = socketVcc || serialSwitch ? vccCode_ * 50u : 0u;
    if (vppOnReset) {
        drive.resetMillivolts = vppCode_ * 100u;
    } else {
        drive.resetMillivolts = (data & w.reset) != 0 ? drive.vccMillivolts : 0u;
    }
    drive.dataLines = data;
    drive.xa1 = (control & w.xa1) != 0;
    drive.xa0 = (control & w.xa0) != 0;
    drive.bs = (control & w.bs) != 0;
    drive.wr = (control & w.wr) != 0;
    drive.oe = (signal & w.oe) != 0;
    drive.xtal1 = (Latch(w.clockLatch) & w.xtal1) != 0;
    return drive;
}

}  // namespace merlinox::sim
