#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/link_context.h"
#include "sim/board_sim.h"
#include "support/scripted_ui.h"

namespace merlinox::testing {

// A link context wired to a simulated board that records every latch store. Its PowerOn
// ends the serial modes without a synchronisation unless a test installs one.
struct SimLink {
    explicit SimLink(sim::BoardFaults faults = {},
                     const sim::BoardWiring& wiring = sim::kBoardWiring)
        : board(faults, wiring) {
        ctx.port = &board;
        ctx.link.timeoutCount = 1000;
        board.Record(&log);
    }
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // The board's record folded into readable tokens, strictly:
    //   "CC=DD"      one store, command and data in hex
    //   "V(vcc,vpp)" the 51 signal-latch stores that shift and load both voltage codes
    //                (decimal), only if their untouched bits equal the signal latch before
    //   "W(n)"       n signal-latch stores with the delay bit set on top of the current
    //                signal latch, followed by the one that clears it again
    // Anything that does not match exactly stays as single stores.
    std::vector<std::string> Summary() const;
    void ClearLog() { log.clear(); }
    int Timeouts() const;  // timeout boxes shown so far

    ScriptedUi ui;
    sim::SimBoard board;
    LinkContext ctx{ui};
    std::vector<sim::LatchWrite> log;
};

std::string Volts(unsigned vcc, unsigned vpp);
std::string Delay(std::uint32_t transfers);
// The delay token of Wait1ms(ms) with "TimeBaseKorr" 85.
std::string DelayMs(std::uint32_t milliseconds);

}  // namespace merlinox::testing
