#pragma once
#include <cstdint>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline link {

// Latch changes as the board sequences write them: the shadow in LinkContext::link is
// changed first, then the whole shadow is sent. Transfer results are not looked at;
// a failed transfer has shown its message already.
void SetSignalBit(LinkContext& ctx, std::uint8_t bit, bool on);
void SetControlBit(LinkContext& ctx, std::uint8_t bit, bool on);
void SetPowerBit(LinkContext& ctx, std::uint8_t bit, bool on);
void SetDataBit(LinkContext& ctx, std::uint8_t bit, bool on);
void SetData(LinkContext& ctx, std::uint8_t value);
void SetClock(LinkContext& ctx, std::uint8_t value);
void MaskPower(LinkContext& ctx, std::uint8_t keep);
void MaskControl(LinkContext& ctx, std::uint8_t keep);
void ClearDelayBit(LinkContext& ctx);

// New voltage codes shifted into the board (one SetVoltages each).
void SetSupply(LinkContext& ctx, std::uint8_t vccCode);
void SetProgrammingVoltage(LinkContext& ctx, std::uint8_t vppCode);

}  // namespace merlinox::inline link
