#pragma once
#include <cstdint>

namespace merlinox {

struct Context;

// Latch changes as the board sequences write them: the shadow in Context::link is
// changed first, then the whole shadow is sent. Transfer results are not looked at;
// a failed transfer has shown its message already.
void SetSignalBit(Context& ctx, std::uint8_t bit, bool on);
void SetControlBit(Context& ctx, std::uint8_t bit, bool on);
void SetPowerBit(Context& ctx, std::uint8_t bit, bool on);
void SetDataBit(Context& ctx, std::uint8_t bit, bool on);
void SetData(Context& ctx, std::uint8_t value);
void SetClock(Context& ctx, std::uint8_t value);
void MaskPower(Context& ctx, std::uint8_t keep);
void MaskControl(Context& ctx, std::uint8_t keep);
void ClearDelayBit(Context& ctx);

// New voltage codes shifted into the board (one SetVoltages each).
void SetSupply(Context& ctx, std::uint8_t vccCode);
void SetProgrammingVoltage(Context& ctx, std::uint8_t vppCode);

}  // namespace merlinox
