#pragma once
#include <cstdint>

#include "sim/chip_hv_logic.h"

namespace merlinox::sim {

// The high-voltage parallel interface: a rising XTAL1 edge loads the data bus as
// command (XA1 XA0 = 10), address byte (00) or data byte (01), BS choosing the high
// byte; a falling WR starts the write the loaded command names; while OE is low the chip
// drives the data bus with the byte that command and BS select. The parallel socket
// has no BS2 and no PAGEL line.
class ChipParallel {
public:
    explicit ChipParallel(ChipHvLogic& logic) : logic_(&logic) {}

    void Enter(const SocketDrive& drive);
    void OnDrive(const SocketDrive& drive, SimTime now);
    SocketSense Sense(SimTime now) const;

private:
    ChipHvLogic* logic_;
    bool xtal1_ = false;
    bool oe_ = true;
};

}  // namespace merlinox::sim
