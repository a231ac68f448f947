#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/board_latches.h"
#include "sim/trace.h"

namespace merlinox::sim {

// Writes the board's decoded lines as a value change dump (timescale 1 ns) that GTKWave
// and PulseView open. It decodes the acknowledged transfers the way the board does, so
// it works behind every back end: the voltage codes, the socket lines of the three
// programming interfaces (several names for one data-latch bit, as docs/board.md lists
// them), the data latch and the read-back byte, whose nibbles arrive with the transfers
// of commands 0x04 (low) and 0x08 (high). Every variable is one wire: the 8-bit values
// come as eight wires each, DATA7 to DATA0, because libsigrok's reader (and with it
// PulseView) gives up on a dump with vectors.
class VcdWriter final : public TransferSink {
public:
    explicit VcdWriter(std::FILE* out);
    void OnTransfer(const TransferRecord& record) override;

    enum Signal : int {
        kVcc,
        kVpp,
        kReset,
        kSck,
        kMosi,
        kMiso,
        kSci,
        kSdi,
        kSii,
        kSdo,
        kData,
        kReadBack,
        kXa1,
        kXa0,
        kBs,
        kWr,
        kOe,
        kXtal1,
        kSignalCount
    };

private:
    // One wire of the dump: a 1-bit signal, or one bit of an 8-bit one.
    struct Wire {
        Signal signal;
        int bit;  // -1 for a 1-bit signal
        std::string name;
        std::string code;
        unsigned last = 0;
    };

    void WriteHeader();
    void Dump(SimTime time, bool all);
    std::uint32_t ValueOf(Signal signal) const;
    unsigned WireValue(const Wire& wire) const;

    std::FILE* out_;
    BoardLatches latches_;
    std::uint8_t readBack_ = 0;
    std::vector<Wire> wires_;
    SimTime lastTime_ = 0;  // the latest timestamp written
};

}  // namespace merlinox::sim
