#pragma once
#include <cstdint>

namespace merlinox::inline link {
class PriorityPort;
}  // namespace merlinox::inline link

namespace merlinox::inline core {

struct LinkContext;

// The link state: register addresses, the poll limit and the shadows of the board's
// latches. Latch changes are made on a shadow first and the whole shadow is then sent,
// so that the other bits keep their state.
struct BoardLink {
    std::uint16_t dataPort = 0;
    std::uint16_t statusPort = 0;
    std::uint16_t controlPort = 0;
    std::uint32_t timeoutCount = 1000000;
    // "TimeBaseKorr" as the configuration applies it: Wait1ms turns milliseconds into
    // delay transfers with it. Never 0 once loaded; 0 is taken as the default 85.
    std::uint32_t timeBaseCorrection = 85;
    std::uint8_t lastControl = 0;
    std::uint8_t lastStatus = 0;
    std::uint8_t controlLatch = 0;
    std::uint8_t signalLatch = 0;
    std::uint8_t clockLatch = 0;
    std::uint8_t powerLatch = 0;
    std::uint8_t dataLatch = 0;
    std::uint8_t vccCode = 0;
    std::uint8_t vppCode = 0;
    bool demoMode = false;
    // Transfers that timed out since the link was set up; the command line turns them
    // into its exit status where an operation itself reports nothing.
    std::uint64_t failedTransfers = 0;
    // Set by an operation for its duration: the first timeout then marks the board as
    // lost, and every later transfer of the operation fails at once, without polling
    // and without another message, so that a board that dies mid-pass ends the
    // operation instead of costing a full time-out and a message box per transfer.
    bool stopAfterTimeout = false;
    bool boardLost = false;
    // Set while PowerOff or BoardOff runs: taking the voltages off is tried even when
    // the board was lost, transfer by transfer with its own time-out, because a board
    // that missed one acknowledge may still hear the rest. Only the message is not
    // repeated.
    bool safeDown = false;

    // The operating-system type the port set-up found (0 not recognised, 1 to 8 the
    // Windows versions); it picks the level RaisePriority asks for. Linux reports 0.
    int osType = 0;
    // Where RaisePriority and RestorePriority go; null means they do nothing.
    PriorityPort* priority = nullptr;
    // The serial synchronisation that ends PowerOn in the SPI modes. It shows its own
    // failure message; null counts as a synchronisation that succeeded. The link cannot
    // call up into the protocols, so whoever builds a context above them installs it.
    int (*spiSync)(LinkContext& ctx) = nullptr;
};

// Marks a safe-down sequence for its scope (see BoardLink::safeDown); nests.
class SafeDownScope {
public:
    explicit SafeDownScope(BoardLink& link) : link_(link), previous_(link.safeDown) {
        link.safeDown = true;
    }
    ~SafeDownScope() { link_.safeDown = previous_; }
    SafeDownScope(const SafeDownScope&) = delete;
    SafeDownScope& operator=(const SafeDownScope&) = delete;

private:
    BoardLink& link_;
    bool previous_;
};

// Sets the three register addresses from the port's base address.
inline void SetPortAddresses(BoardLink& link, std::uint16_t base) {
    link.dataPort = base;
    link.statusPort = static_cast<std::uint16_t>(base + 1);
    link.controlPort = static_cast<std::uint16_t>(base + 2);
}

}  // namespace merlinox::inline core
