#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace merlinox::sim {

// Ways a simulated board can misbehave, for tests and for users who want to see what
// the program does about it. The defaults are a healthy board.
struct BoardFaults {
    bool noBoard = false;            // nothing attached: the ready line always reads set
    bool neverReady = false;         // the ready line never rises
    bool neverAcknowledges = false;  // the ready line rises but never drops again
    std::uint64_t dieAfter = 0;      // after this many acknowledged transfers the board
                                     // behaves as absent; 0 = never
    std::uint32_t slowAckPolls = 0;  // the status read after the strobe that first shows
                                     // the acknowledge; 0 = the first one
    std::uint64_t missAck = 0;       // the transfer (counted from 1, as the trace numbers
                                     // them) whose strobe the board misses: nothing is
                                     // stored and no acknowledge comes; 0 = none
    int stuckBit = -1;               // read-back bit 0..7 stuck at stuckLevel; -1 none
    bool stuckLevel = false;
};

// Adds one fault given as text: "no-board", "no-ready", "no-ack", "die-after=N",
// "miss-ack=N", "slow-ack=K", "stuck-bit=B:V" (B 0 to 7, V 0 or 1). Returns false and leaves faults
// unchanged when the text is not one of these; error then says why.
bool ParseFault(std::string_view text, BoardFaults& faults, std::string& error);

}  // namespace merlinox::sim
