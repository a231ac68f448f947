#include "sim/board_latches.h"

#include "link/latch_bits.h"
#include "link/transport.h"

namespace merlinox::sim {

SocketDrive BoardLatches::Drive() const {
    const std::uint8_t power = Latch(CmdPower);
    const std::uint8_t control = Latch(CmdControl);
    const std::uint8_t signal = Latch(CmdSignal);
    const std::uint8_t data = Latch(CmdData);

    // Either switch connects the supply: bit 7 for the high-voltage socket positions,
    // bit 0 alone for low-voltage serial programming. Bit 0 together with bit 7, or
    // bit 4, puts the programming voltage on RESET instead of its logic level.
    const bool socketVcc = (power & bits::kPwrSocketVcc) != 0;
    const bool serialSwitch = (power & bits::kPwrSerialSwitch) != 0;
    const bool vppOnReset = (power & bits::kPwrParallelVpp) != 0 || (socketVcc && serialSwitch);

    SocketDrive drive;
    drive.vccMillivolts = socketVcc || serialSwitch ? vccCode_ * 50u : 0u;
    if (vppOnReset) {
        drive.resetMillivolts = vppCode_ * 100u;
    } else {
        drive.resetMillivolts = (data & bits::kDataReset) != 0 ? drive.vccMillivolts : 0u;
    }
    drive.dataLines = data;
    drive.xa1 = (control & bits::kCtrlXa1) != 0;
    drive.xa0 = (control & bits::kCtrlXa0) != 0;
    drive.bs = (control & bits::kCtrlBs) != 0;
    drive.wr = (control & bits::kCtrlWr) != 0;
    drive.oe = (signal & bits::kSigOe) != 0;
    drive.xtal1 = (Latch(CmdClock) & bits::kClkXtal1) != 0;
    return drive;
}

}  // namespace merlinox::sim
