#pragma once
#include <cstdint>
#include <string>

namespace merlinox::inline core {

// The only contact with the programmer board: the three registers of a PC parallel
// port. Back ends: the board simulator (sim/), Linux ppdev and raw I/O ports
// (platform/). Values are raw register bits.
class PortAccess {
public:
    virtual ~PortAccess() = default;
    virtual void WriteData(std::uint8_t value) = 0;
    virtual void WriteControl(std::uint8_t value) = 0;
    virtual std::uint8_t ReadStatus() = 0;
    // Why a register access failed, with its remedy; empty while every access worked.
    virtual std::string Problem() const { return {}; }
};

}  // namespace merlinox::inline core
