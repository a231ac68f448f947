#pragma once
#include <cstdint>

#include "sim/chip_hv_logic.h"

namespace merlinox::sim {

// The high-voltage serial interface of the 8-pin parts. A frame is 11 periods of SCI:
// SDI and SII are sampled on the rising edges of periods 1 to 8 (most significant bit
// first, periods 0, 9 and 10 carry 0), and SDO shows the byte read by the previous
// frame in periods 0 to 7. Between frames SDO is the RDY/BSY line: low while the chip
// is writing or erasing.
//
// The SII byte is the parallel interface's control lines: bit 6 XA1, bit 5 XA0, bit 4
// BS1, bit 3 WR, bit 2 OE, bit 1 BS2, bit 0 PAGEL. A frame whose XA bits are not both 1
// loads SDI as command, address or data; then the control levels take effect.
//
// Socket lines (data latch): bit 1 SCI (the board pulses bits 0 and 1 together),
// bit 3 SDI, bit 4 SII, bit 5 SDO.
class ChipHvSerial {
public:
    ChipHvSerial(ChipCore& core, ChipHvLogic& logic) : core_(&core), logic_(&logic) {}

    void Enter(std::uint8_t lines);
    void OnLines(std::uint8_t lines, SimTime now);
    bool Sdo(SimTime now) const { return inFrame_ ? sdoBit_ : !core_->Busy(now); }

private:
    // levels: SDI and SII as they stood before the edge.
    void OnRisingSci(std::uint8_t levels, SimTime now);
    void Execute(SimTime now);

    ChipCore* core_;
    ChipHvLogic* logic_;
    std::uint8_t lines_ = 0;  // the socket lines before the latest change
    bool sci_ = false;
    std::uint32_t edges_ = 0;  // SCI rising edges since programming mode was entered
    std::uint8_t period_ = 0;  // frame period of the next bit edge, 0..10
    bool inFrame_ = false;
    bool sdoBit_ = false;
    std::uint8_t sdi_ = 0;
    std::uint8_t sii_ = 0;
    std::uint8_t output_ = 0;  // shifted out in the next frame
};

}  // namespace merlinox::sim
