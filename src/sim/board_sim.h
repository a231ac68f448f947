#pragma once
#include <cstdint>
#include <vector>

#include "core/port_access.h"
#include "sim/board_latches.h"
#include "sim/fault.h"
#include "sim/socket.h"

namespace merlinox::sim {

// One latch store as the board saw it: when, which command, which byte.
struct LatchWrite {
    SimTime time;
    std::uint8_t command;
    std::uint8_t data;
    friend bool operator==(const LatchWrite&, const LatchWrite&) = default;
};

// The programmer board behind the three parallel-port registers, written from its
// handshake contract: a control write without strobe raises the ready line (status
// bit 7); a strobe stores the data register in the latch the command selects, drops
// the ready line as acknowledge and shows a nibble of the read-back lines on status
// bits 3 to 6 (the high nibble for command 0x08, the low one for any other). The
// read-back lines are the data latch ANDed with what a chip in the socket drives, so
// an empty socket loops the data latch back.
//
// Time is simulated: every register access costs kAccessNs; the board holds the
// acknowledge of a signal-latch store with the delay bit set until kDelayTransferNs
// have passed since the transfer began, which calibrates "TimeBaseKorr" 85.
class SimBoard final : public PortAccess {
public:
    static constexpr SimTime kAccessNs = 1000;
    static constexpr SimTime kDelayTransferNs = 85000;
    // What the status register reads with no board behind it.
    static constexpr std::uint8_t kAbsentStatus = 0xF8;

    explicit SimBoard(BoardFaults faults = {}, const BoardWiring& wiring = kBoardWiring)
        : faults_(faults), latches_(wiring) {}

    void WriteData(std::uint8_t value) override;
    void WriteControl(std::uint8_t value) override;
    std::uint8_t ReadStatus() override;

    // Plugs a chip into the socket (null empties it). The chip hears the current
    // levels at once. The board does not own it.
    void Insert(SocketChip* chip);

    // Every latch store is appended to log while one is set (null stops recording).
    void Record(std::vector<LatchWrite>* log) { record_ = log; }

    SimTime Now() const { return now_; }
    std::uint64_t Acknowledged() const { return acknowledged_; }
    const BoardLatches& Latches() const { return latches_; }
    const SocketDrive& Drive() const { return drive_; }
    // The read-back lines as the board sees them now (faults included).
    std::uint8_t ReadBackLines();

private:
    bool Absent() const { return faults_.noBoard || dead_; }
    void Acknowledge(std::uint8_t command);
    void UpdateSocket();
    std::uint8_t NibbleToStatus(std::uint8_t nibble) const;
    const BoardWiring& Wiring() const { return latches_.Wiring(); }

    BoardFaults faults_;
    BoardLatches latches_;
    SocketDrive drive_;
    SocketChip* chip_ = nullptr;
    std::vector<LatchWrite>* record_ = nullptr;

    SimTime now_ = 0;
    SimTime transferStart_ = 0;
    std::uint64_t acknowledged_ = 0;
    std::uint64_t strobes_ = 0;
    std::uint32_t ackPollsLeft_ = 0;
    std::uint8_t dataRegister_ = 0;
    std::uint8_t status_ = 0;  // bit 7 clear: the board starts idle and acknowledged
    bool dead_ = false;
};

}  // namespace merlinox::sim
